#include "engine/interop/package.hpp"

#include <stdexcept>

#include "core/xml/xml_escape.hpp"
#include "engine/interop/entry_reading.hpp"
#include "engine/interop/entry_writing.hpp"
#include "engine/interop/package_handler.hpp"

namespace parvel::interop {

std::string package::to_xml() const {
  std::string out;
  write_entry_start(out, *this, true);
  write_category(out, *this);
  out += "<lm:from uid=\"";
  out += core::xml_attribute_text(from);
  out += "\" />";
  out += "<lm:subject>";
  out += core::xml_text(subject);
  out += "</lm:subject>";
  out += "<lm:message>";
  out += core::xml_text(message);
  out += "</lm:message>";
  for (const std::string& recipient : recipients) {
    out += "<lm:recipient uid=\"";
    out += core::xml_attribute_text(recipient);
    out += "\" />";
  }
  out += "<lm:media href=\"";
  out += core::xml_attribute_text(media);
  out += "\" />";
  out += "</atom:entry>";
  return out;
}

package package::parse(const std::string& body) {
  package entry;
  read_entry<package_handler>(entry, body);
  return entry;
}

const std::string& package::recipient(std::size_t index) const {
  if (index >= recipients.size()) {
    throw std::invalid_argument("package accout index is out of range.");
  }
  return recipients[index];
}

}  // namespace parvel::interop
