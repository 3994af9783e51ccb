#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/service/reply.hpp"

namespace service {

// A request as the server received it.
struct received_request {
  std::string method;
  // As sent: path and query.
  std::string target;
  header_fields headers;
  // Empty when its route discards bodies.
  std::string body;
  // Bytes of the body received, kept or not.
  std::uint64_t body_size = 0;
  // False when the connection ended, or was cut by a fault, before the body's end.
  bool complete = false;

  // The first value of a header, its name compared without case; empty when absent.
  std::string header(std::string_view name) const;
  bool has_header(std::string_view name) const;
};

}  // namespace service
