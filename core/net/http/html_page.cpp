#include "core/net/http/html_page.hpp"

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/algorithm/string/trim.hpp>
#include <string>
#include <string_view>

#include "core/net/http/find_header.hpp"

namespace core::net::http {

namespace {

constexpr std::string_view blanks = " \t\r\n";

// Whether text starts with the markup name (any case), ended there.
bool opens_with(std::string_view text, std::string_view name) {
  return boost::istarts_with(text, name) &&
         (text.size() == name.size() ||
          (std::string(blanks) + ">/").find(text[name.size()]) != std::string::npos);
}

// The text after a byte order mark, blanks, XML declarations or processing
// instructions, and comments; empty when one of them is not closed.
std::string_view first_markup(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }
  for (;;) {
    text.remove_prefix(std::min(text.find_first_not_of(blanks), text.size()));
    const std::string_view close = text.starts_with("<?")     ? "?>"
                                   : text.starts_with("<!--") ? "-->"
                                                              : "";
    if (close.empty()) {
      return text;
    }
    const std::size_t end = text.find(close);
    if (end == std::string_view::npos) {
      return {};
    }
    text.remove_prefix(end + close.size());
  }
}

}  // namespace

bool is_html_page(const basic_response& response) {
  std::string type = find_header(response.headers, "Content-Type").value_or("");
  type = type.substr(0, type.find(';'));
  boost::trim(type);
  if (boost::iequals(type, "text/html") || boost::iequals(type, "application/xhtml+xml")) {
    return true;
  }
  const std::string_view markup = first_markup(response.body);
  return opens_with(markup, "<!doctype html") || opens_with(markup, "<html");
}

}  // namespace core::net::http
