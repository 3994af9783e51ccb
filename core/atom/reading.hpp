#pragma once

#include <exception>
#include <string>

#include "core/xml/xml_attribute.hpp"
#include "core/xml/xml_basic_handler.hpp"

namespace core::atom {

// Rules shared by the Atom readers and the readers that extend them.

// The text without white space at its ends; blank text becomes empty.
std::string trimmed(const std::string& text);

// An attribute's value; an absent attribute reads as empty text.
std::string attribute_value(const xml_attribute_map& attributes, const std::string& local_name);

// The element's default-namespace declaration, else the Atom namespace.
std::string declared_namespace(const xml_attribute_map& attributes);

bool is_atom(const std::string& namespace_uri, const std::string& local_name, const char* name);

// Runs read; a std::exception from it becomes the parse error
// "Cannot parse '" + element + "': " + its text.
template <class Read>
void read_attributes(const std::string& element, Read&& read) {
  try {
    read();
  } catch (const std::exception& e) {
    xml_basic_handler::throw_parse_error(element, e.what());
  }
}

}  // namespace core::atom
