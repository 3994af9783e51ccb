#pragma once

#include <string>
#include <string_view>

namespace core::atom {
class atom_entry;
}

namespace parvel::interop {

class command;

// A field value as element text: "&", "<" and ">" escaped, so that no value
// can end markup early ("]]>" included), and a carriage return kept as a
// reference, which a parser would otherwise fold into the line feed. Invalid
// UTF-8 becomes U+FFFD; characters XML 1.0 forbids are dropped.
std::string xml_text(std::string_view value);
// As xml_text, and also the double quote, the tab and the line feed, which a
// parser would turn into blanks inside an attribute.
std::string xml_attribute_text(std::string_view value);

// The declaration and the entry's start tag, declaring the extension prefix
// "lm" on it when asked.
void write_entry_start(std::string& out, const command& entry, bool declare_extension);
// The category element, with the entry's scheme and term.
void write_category(std::string& out, const core::atom::atom_entry& entry);

}  // namespace parvel::interop
