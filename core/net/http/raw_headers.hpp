#pragma once

#include <string>

#include "core/net/http/response.hpp"

namespace core::net::http {

// Reads a response's raw header block (status line, header lines, a blank
// line) into version, status, reason and headers of response. A status line
// that does not start with "HTTP/" followed by a numeric code throws
// std::runtime_error "HTTP version not found. Invalid response.". Header
// lines without ':' are skipped; blanks and tabs after the colon are not
// part of the value, which may be empty.
void parse_raw_headers(const std::string& raw, basic_response& response);

}  // namespace core::net::http
