#include "engine/interop/entry_writing.hpp"

#include "core/xml/xml_escape.hpp"
#include "engine/interop/command.hpp"

namespace parvel::interop {

void write_entry_start(std::string& out, const command& entry, bool declare_extension) {
  out += "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
  out += "<atom:entry xmlns:atom=\"";
  out += core::xml_attribute_text(entry.namespace_uri());
  if (declare_extension) {
    out += "\" xmlns:lm=\"";
    out += core::xml_attribute_text(entry.extension_namespace);
    out += "\" >";
  } else {
    out += "\">";
  }
}

void write_category(std::string& out, const core::atom::atom_entry& entry) {
  out += "<atom:category scheme=\"";
  out += core::xml_attribute_text(entry.category_scheme());
  out += "\" term=\"";
  out += core::xml_attribute_text(entry.category_term());
  out += "\"/>";
}

}  // namespace parvel::interop
