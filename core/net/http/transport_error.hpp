#pragma once

#include <cstdint>
#include <string>

#include "core/net/http/response.hpp"
#include "core/system_error.hpp"

namespace core::net::http {

// A transport failure with the transport's own account of it, which tells
// what the code alone cannot ("CONNECT tunnel failed, response 403"). Its
// text is "prefix: message (detail)"; without a detail, the base's text.
class transport_error : public windows_system_error {
 public:
  transport_error(std::string prefix, std::uint32_t code, std::string detail,
                  basic_response arrived = {})
      : windows_system_error(std::move(prefix), code),
        detail_(std::move(detail)),
        arrived_(std::move(arrived)) {
    if (!detail_.empty()) {
      text_ = std::string(windows_system_error::what()) + " (" + detail_ + ")";
    }
  }

  const char* what() const noexcept override {
    return text_.empty() ? windows_system_error::what() : text_.c_str();
  }

  const std::string& detail() const noexcept { return detail_; }

  // What had arrived of the final answer: its status line and headers, and
  // the body up to the failure (cut, closed or too slow); status 0 when the
  // failure came before them. The peer has then acted on the request.
  const basic_response& arrived() const noexcept { return arrived_; }

 private:
  std::string detail_;
  basic_response arrived_;
  std::string text_;
};

}  // namespace core::net::http
