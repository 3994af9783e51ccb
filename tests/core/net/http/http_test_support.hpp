#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/net/http/client.hpp"
#include "core/net/http/timeouts.hpp"
#include "core/net/http/transport_error.hpp"
#include "core/system_error.hpp"
#include "tests/service/test_tools.hpp"

namespace http_test {

using test_support::pattern;

// Shortens the clients' time-outs for one test; unless given, the answer's
// deadline is the stall limit.
class short_timeouts {
 public:
  explicit short_timeouts(std::chrono::milliseconds stall,
                          std::chrono::milliseconds connect = std::chrono::seconds(5))
      : short_timeouts(core::net::http::timeouts{connect, stall, stall}) {}
  explicit short_timeouts(const core::net::http::timeouts& values)
      : saved_(core::net::http::default_timeouts()) {
    core::net::http::set_default_timeouts(values);
  }
  ~short_timeouts() { core::net::http::set_default_timeouts(saved_); }

 private:
  core::net::http::timeouts saved_;
};

using progress_calls = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

// The progress calls of a client, in order, made on the calling thread.
class progress_log {
 public:
  core::net::http::progress_callback callback() {
    return [this](std::uint64_t done, std::uint64_t total) { calls_.emplace_back(done, total); };
  }
  const progress_calls& calls() const { return calls_; }

 private:
  progress_calls calls_;
};

// (done, total) for each piece boundary of a body of size bytes.
inline progress_calls pieces(std::uint64_t size) {
  progress_calls calls;
  for (std::uint64_t done = 0; done < size;) {
    done = std::min<std::uint64_t>(done + 16384, size);
    calls.emplace_back(done, size);
  }
  return calls;
}

// text: the failure's text up to the transport's own words, which follow it
// in parentheses when it has some; detail, when given, is those words.
template <class Call>
void expect_transport_failure(Call&& call, std::uint32_t code, const std::string& text,
                              const char* detail = nullptr) {
  try {
    call();
    ADD_FAILURE() << "no exception, expected: " << text;
  } catch (const core::windows_system_error& e) {
    const auto* transport = dynamic_cast<const core::net::http::transport_error*>(&e);
    const std::string words = transport != nullptr ? transport->detail() : "";
    EXPECT_EQ(e.code(), code);
    EXPECT_EQ(e.what(), words.empty() ? text : text + " (" + words + ")");
    if (detail != nullptr) {
      EXPECT_EQ(words, detail);
    }
  }
}

}  // namespace http_test
