#include "engine/interop/extension_handler.hpp"

#include "core/atom/reading.hpp"
#include "engine/interop/entry_reading.hpp"

namespace parvel::interop {

void extension_handler::start_element(const std::string& namespace_uri,
                                      const std::string& local_name,
                                      const core::xml_attribute_map& attributes) {
  if (!is_extension(namespace_uri)) {
    atom_entry_handler::start_element(namespace_uri, local_name, attributes);
    return;
  }
  push_element(namespace_uri, local_name);
  start_extension(local_name, attributes);
}

void extension_handler::end_element(const std::string& namespace_uri,
                                    const std::string& local_name) {
  if (!is_extension(namespace_uri)) {
    atom_entry_handler::end_element(namespace_uri, local_name);
    return;
  }
  if (!elements().empty()) {
    check_element(namespace_uri, local_name);
    pop_element();
  }
}

void text_extension_handler::characters(const std::string& text) {
  if (elements().empty()) {
    return;
  }
  std::string value = core::atom::trimmed(text);
  if (value.empty()) {
    return;
  }
  const auto& [namespace_uri, local_name] = current_element();
  if (!is_extension(namespace_uri)) {
    atom_entry_handler::characters(value);
  } else if (std::string* field = text_field(local_name)) {
    *field = std::move(value);
  }
}

}  // namespace parvel::interop
