#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/net/http/client.hpp"
#include "core/net/http/timeouts.hpp"
#include "core/system_error.hpp"

namespace http_test {

// Shortens the clients' time-outs for one test.
class short_timeouts {
 public:
  explicit short_timeouts(std::chrono::milliseconds stall,
                          std::chrono::milliseconds connect = std::chrono::seconds(5))
      : saved_(core::net::http::default_timeouts()) {
    core::net::http::set_default_timeouts({connect, stall});
  }
  ~short_timeouts() { core::net::http::set_default_timeouts(saved_); }

 private:
  core::net::http::timeouts saved_;
};

// Sets (or, with nullopt, removes) an environment variable for one test.
class scoped_env {
 public:
  scoped_env(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      saved_ = old;
    }
    apply(value);
  }
  ~scoped_env() { apply(saved_); }

 private:
  void apply(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> saved_;
};

// The progress calls of a client, in order. The callback runs on the calling
// thread; the lock is for tests that read from another.
class progress_log {
 public:
  core::net::http::progress_callback callback() {
    return [this](std::uint64_t done, std::uint64_t total) {
      const std::lock_guard guard(mutex_);
      calls_.emplace_back(done, total);
    };
  }
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls() const {
    const std::lock_guard guard(mutex_);
    return calls_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls_;
};

// (done, total) for each piece boundary of a body of size bytes.
inline std::vector<std::pair<std::uint64_t, std::uint64_t>> pieces(std::uint64_t size) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  for (std::uint64_t done = 0; done < size;) {
    done = std::min<std::uint64_t>(done + 16384, size);
    calls.emplace_back(done, size);
  }
  return calls;
}

// Bytes that differ from position to position, so a lost or repeated piece shows.
inline std::string pattern(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  }
  return text;
}

template <class Exception, class Call>
void expect_failure(Call&& call, const std::string& text) {
  try {
    call();
    ADD_FAILURE() << "no exception, expected: " << text;
  } catch (const Exception& e) {
    EXPECT_EQ(e.what(), text);
  }
}

template <class Call>
void expect_transport_failure(Call&& call, std::uint32_t code, const std::string& text) {
  try {
    call();
    ADD_FAILURE() << "no exception, expected: " << text;
  } catch (const core::windows_system_error& e) {
    EXPECT_EQ(e.code(), code);
    EXPECT_EQ(e.what(), text);
  }
}

}  // namespace http_test
