#include "core/xhtml/parse.hpp"

#include "core/com_apartment_guard.hpp"
#include "core/xhtml/xhtml_handler.hpp"
#include "core/xml/xml_exception.hpp"
#include "core/xml/xml_reader.hpp"

namespace core::xhtml {

void parse(const std::string& text, command_list& commands) {
  [[maybe_unused]] const com_apartment_guard apartment;
  xml_reader reader;
  xhtml_handler handler(commands);
  try {
    reader.parse(&handler, text);
  } catch (const msxml_exception&) {
    // What the handler stopped reading could not have been kept anyway.
    if (!handler.stopped())
      throw;
  }
}

}  // namespace core::xhtml
