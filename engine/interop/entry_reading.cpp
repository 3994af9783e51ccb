#include "engine/interop/entry_reading.hpp"

#include <boost/lexical_cast/bad_lexical_cast.hpp>
#include <limits>

#include "core/atom/reading.hpp"
#include "engine/interop/interop_namespace.hpp"

namespace parvel::interop {

bool is_extension(const std::string& namespace_uri) {
  return namespace_uri == extension_namespace_uri;
}

void read_extension_namespace(const core::xml_attribute_map& attributes, std::string& target) {
  if (std::string declared = core::atom::attribute_value(attributes, "lm"); !declared.empty()) {
    target = std::move(declared);
  }
}

std::uint32_t number_attribute(const core::xml_attribute_map& attributes, const std::string& name) {
  const auto found = attributes.find(name);
  if (found == attributes.end()) {
    return 0;
  }
  const std::string& text = found->second.value;
  const auto not_a_number = [] {
    return boost::bad_lexical_cast(typeid(std::string), typeid(std::uint32_t));
  };
  if (text.empty()) {
    throw not_a_number();
  }
  // Stricter than lexical_cast, which takes "-1" as 4294967295.
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      throw not_a_number();
    }
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      throw not_a_number();
    }
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace parvel::interop
