#pragma once

#include <cstddef>
#include <string>

#include "core/key_value_params.hpp"

namespace core::net::http {

// The pair at index as one header line, "name: value\r\n". A name or value
// holding CR or LF would inject headers: std::invalid_argument.
std::string header_line(const string_map& headers, std::size_t index);

}  // namespace core::net::http
