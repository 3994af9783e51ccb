#pragma once

#include <string>

#include "core/key_value_params.hpp"

namespace core::net::http {

// The final response of an exchange. Any status is a response: callers test
// it themselves.
struct basic_response {
  // A name that occurs twice keeps its last value.
  string_map headers;
  // Empty for HEAD.
  std::string body;
  // The first word of the status line, such as "HTTP/1.1".
  std::string version;
  std::string reason;
  // 0 until parsed.
  int status = 0;
};

}  // namespace core::net::http
