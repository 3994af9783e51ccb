#include "engine/interop/media.hpp"

#include "core/xml/xml_escape.hpp"
#include "engine/interop/entry_reading.hpp"
#include "engine/interop/entry_writing.hpp"
#include "engine/interop/media_handler.hpp"

namespace parvel::interop {

std::string media::to_xml() const {
  std::string out;
  write_entry_start(out, *this, false);
  write_category(out, *this);
  out += "<lm:media xmlns:lm=\"";
  out += core::xml_attribute_text(extension_namespace);
  out += "\" mime-type=\"";
  out += core::xml_attribute_text(mime_type);
  out += "\" format=\"";
  out += core::xml_attribute_text(format);
  out += "\" resolution=\"";
  out += core::xml_attribute_text(resolution);
  out += "\" original-name=\"";
  out += core::xml_attribute_text(original_name);
  out += "\" entries=\"";
  out += std::to_string(entries);
  out += "\" client-type=\"";
  out += core::xml_attribute_text(client_type);
  out += "\" />";
  out += "</atom:entry>";
  return out;
}

media media::parse(const std::string& body) {
  media entry;
  read_entry<media_handler>(entry, body);
  return entry;
}

}  // namespace parvel::interop
