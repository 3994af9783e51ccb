#pragma once

#include "core/net/http/response.hpp"

namespace core::net::http {

// Whether an answer is an HTML page: by its Content-Type (text/html,
// application/xhtml+xml), or by its first markup, after a byte order mark,
// an XML declaration and comments, being an HTML doctype or <html> element.
// Pages are what stands between a program and its service answers with: a
// filtering front's block page, a captive portal's login.
bool is_html_page(const basic_response& response);

}  // namespace core::net::http
