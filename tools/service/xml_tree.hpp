#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace service {

// Received XML that is not well-formed, or that the service will not read.
class xml_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One element of a received document, its namespace resolved.
struct xml_element {
  std::string namespace_uri;
  std::string name;
  // Unprefixed attributes by name; prefixed ones as "<namespace>\n<name>".
  // Namespace declarations are not among them.
  std::vector<std::pair<std::string, std::string>> attributes;
  // The character data directly inside the element, entities replaced.
  std::string text;
  std::vector<xml_element> children;

  // Null when absent.
  const std::string* attribute(std::string_view attribute_name) const;
  std::vector<const xml_element*> children_named(std::string_view child_namespace,
                                                 std::string_view child_name) const;
};

// Parses a whole UTF-8 document into its root element. Refuses documents
// that are not well-formed, that hold a document type declaration (and so
// entity definitions) or that nest deeper than the service's entries ever do.
xml_element parse_xml(std::string_view document);

}  // namespace service
