#include "core/xml/xml_content_handler.hpp"

#include <stdexcept>

namespace core {

void basic_xml_content_handler<char>::start_element(const std::string&, const std::string&,
                                                    const xml_attribute_map&) {}

void basic_xml_content_handler<char>::end_element(const std::string&, const std::string&) {}

void basic_xml_content_handler<char>::characters(const std::string&) {}

bool basic_xml_content_handler<char>::has_attribute(const xml_attribute_map& attributes,
                                                    const std::string& local_name) {
  return attributes.contains(local_name);
}

const xml_attribute& basic_xml_content_handler<char>::get_attribute(
    const xml_attribute_map& attributes, const std::string& local_name) {
  const auto found = attributes.find(local_name);
  if (found == attributes.end()) {
    throw std::out_of_range("Cannot get the attribute. Name not found.");
  }
  return found->second;
}

}  // namespace core
