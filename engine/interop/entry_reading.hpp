#pragma once

#include <cstdint>
#include <string>

#include "core/com_apartment_guard.hpp"
#include "core/xml/xml_attribute.hpp"
#include "core/xml/xml_reader.hpp"

namespace parvel::interop {

// Whether the element is one of the service's extension elements.
bool is_extension(const std::string& namespace_uri);

// The element's declaration of the prefix "lm", when present and not empty,
// replaces target.
void read_extension_namespace(const core::xml_attribute_map& attributes, std::string& target);

// An attribute as unsigned 32-bit decimal digits; 0 when absent. Anything
// else (a sign, blanks, letters, too many digits) throws boost::bad_lexical_cast.
std::uint32_t number_attribute(const core::xml_attribute_map& attributes, const std::string& name);

// Whether the body is an Atom entry by its first element, as every answer of
// the service is, whatever its label says; one cut short after that element's
// start counts too.
bool is_atom_entry(const std::string& body);

// Fills entry from a response body with the kind's handler. Failures are
// core::msxml_exception.
template <class Handler, class Entry>
void read_entry(Entry& entry, const std::string& body) {
  Handler handler(&entry);
  [[maybe_unused]] const core::com_apartment_guard apartment;
  core::xml_reader reader;
  reader.parse(&handler, body);
}

}  // namespace parvel::interop
