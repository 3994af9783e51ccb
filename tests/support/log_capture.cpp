#include "tests/support/log_capture.hpp"

#include <mutex>
#include <ostream>
#include <streambuf>

#include "core/log/logger.hpp"

namespace test_support {

namespace {

// Readable by the test while jobs log from their threads.
class locked_buffer : public std::streambuf {
 public:
  std::string text() const {
    std::lock_guard lock(mutex_);
    return text_;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    text_.clear();
  }

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::lock_guard lock(mutex_);
    text_.append(s, static_cast<std::size_t>(n));
    return n;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      std::lock_guard lock(mutex_);
      text_ += traits_type::to_char_type(c);
    }
    return traits_type::not_eof(c);
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

locked_buffer& captured() {
  static locked_buffer* const buffer = [] {
    auto* b = new locked_buffer;
    core::log::logger& logger = core::log::global_logger();
    logger.set_formatters(core::log::standard_chain());
    logger.set_flush(true);
    logger.add_sink(core::log::make_sink(new std::ostream(b)));
    return b;
  }();
  return *buffer;
}

}  // namespace

log_capture::log_capture() { captured().clear(); }

std::string log_capture::text() const { return captured().text(); }

std::vector<std::string> log_capture::lines() const {
  std::vector<std::string> result;
  const std::string all = text();
  std::size_t start = 0;
  for (std::size_t end; (end = all.find("\r\n", start)) != std::string::npos; start = end + 2) {
    result.push_back(all.substr(start, end - start));
  }
  return result;
}

}  // namespace test_support
