#pragma once

#include <map>
#include <string>

namespace core {

// One attribute as a handler sees it, UTF-8. A namespace declaration comes as
// prefix "xmlns" with the declared prefix (empty for the default namespace)
// as its local name and the namespace URI as its value.
struct xml_attribute {
  std::string prefix;
  std::string local_name;
  std::string value;
};

// The attributes of one start tag by local name; of two attributes with one
// local name the later replaces the earlier.
using xml_attribute_map = std::map<std::string, xml_attribute>;

}  // namespace core
