#pragma once

#include <string>

#include "core/xml/xml_attribute.hpp"

namespace core {

template <class Char>
class basic_xml_content_handler;

// Receives the events of one parse, all text UTF-8. The text between two
// tags arrives in one characters() call, before the next tag's event.
template <>
class basic_xml_content_handler<char> {
 public:
  virtual ~basic_xml_content_handler() = default;

  virtual void start_document() {}
  virtual void end_document() {}
  virtual void start_element(const std::string& namespace_uri, const std::string& local_name,
                             const xml_attribute_map& attributes);
  virtual void end_element(const std::string& namespace_uri, const std::string& local_name);
  virtual void characters(const std::string& text);

  static bool has_attribute(const xml_attribute_map& attributes, const std::string& local_name);
  // Throws std::out_of_range "Cannot get the attribute. Name not found.".
  static const xml_attribute& get_attribute(const xml_attribute_map& attributes,
                                            const std::string& local_name);
};

using xml_content_handler = basic_xml_content_handler<char>;

}  // namespace core
