#include "engine/interop/thumbnail.hpp"

#include "core/xml/xml_escape.hpp"
#include "engine/interop/entry_reading.hpp"
#include "engine/interop/entry_writing.hpp"
#include "engine/interop/thumbnail_handler.hpp"

namespace parvel::interop {

std::string thumbnail::to_xml() const {
  std::string out;
  write_entry_start(out, *this, true);
  write_category(out, *this);
  out += "<lm:resolution width=\"";
  out += std::to_string(width);
  out += "\" height=\"";
  out += std::to_string(height);
  out += "\" />";
  out += "</atom:entry>";
  return out;
}

thumbnail thumbnail::parse(const std::string& body) {
  thumbnail entry(0, 0);
  read_entry<thumbnail_handler>(entry, body);
  return entry;
}

}  // namespace parvel::interop
