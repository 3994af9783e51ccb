#include "core/net/http/header_line.hpp"

#include <stdexcept>

namespace core::net::http {

std::string header_line(const string_map& headers, std::size_t index) {
  const auto [name, value] = pair_at(headers, index);
  if (name.find_first_of("\r\n") != std::string::npos ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw std::invalid_argument("Invalid HTTP header. A name or value holds CR or LF.");
  }
  return name + ": " + value + "\r\n";
}

}  // namespace core::net::http
