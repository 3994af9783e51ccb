#pragma once

#include <ios>
#include <stdexcept>
#include <string>

namespace core::io {

// The failure of a device or of a data check: a std::ios_base::failure with
// io_errc::stream whose what() is exactly the short text ("bad seek"), without
// the library's ": iostream error" suffix, so that callers can show and compare it.
class stream_failure : public std::ios_base::failure {
 public:
  explicit stream_failure(const std::string& text);
  // "<text>: <the system's text for error>" (an errno value; 0 gives text
  // alone), so that a log tells a full disk from a failing drive.
  stream_failure(const std::string& text, int error);
  const char* what() const noexcept override;

 private:
  // Reference-counted and nothrow-copyable, as exception members must be.
  std::runtime_error text_;
};

}  // namespace core::io
