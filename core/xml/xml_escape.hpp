#pragma once

#include <string>
#include <string_view>

namespace core {

// A value as element text: "&", "<" and ">" escaped, so that no value can end
// markup early ("]]>" included), and a carriage return kept as a reference,
// which a parser would otherwise fold into the line feed. Invalid UTF-8
// becomes U+FFFD; characters XML 1.0 forbids are dropped.
std::string xml_text(std::string_view value);
// As xml_text, and also the double quote, the tab and the line feed, which a
// parser would turn into blanks inside an attribute.
std::string xml_attribute_text(std::string_view value);

}  // namespace core
