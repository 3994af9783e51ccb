#include "engine/interop/entry_reading.hpp"

#include <boost/lexical_cast/bad_lexical_cast.hpp>
#include <exception>
#include <limits>

#include "core/atom/atom_namespace.hpp"
#include "core/atom/reading.hpp"
#include "engine/interop/interop_namespace.hpp"

namespace parvel::interop {

namespace {

// Notes the first element and stops the parse there.
class first_element_handler : public core::xml_content_handler {
 public:
  struct seen {};

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const core::xml_attribute_map&) override {
    atom_entry = namespace_uri == core::atom::atom_namespace_uri && local_name == "entry";
    throw seen{};
  }

  bool atom_entry = false;
};

}  // namespace

bool is_atom_entry(const std::string& body) {
  first_element_handler handler;
  [[maybe_unused]] const core::com_apartment_guard apartment;
  core::xml_reader reader;
  try {
    reader.parse(&handler, body);
  } catch (const std::exception&) {
    // The first element's stop, or a body that is not XML up to there.
  }
  return handler.atom_entry;
}

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
