#include "core/atom/atom_author_handler.hpp"

#include "core/atom/atom_namespace.hpp"
#include "core/atom/reading.hpp"

namespace core::atom {

void atom_author_handler::start_element(const std::string& namespace_uri,
                                        const std::string& local_name, const xml_attribute_map&) {
  if (target_ == nullptr || namespace_uri != atom_namespace_uri) {
    return;
  }
  push_element(namespace_uri, local_name);
  if (local_name == "author" && !target_->empty()) {
    target_->clear();
  }
}

void atom_author_handler::characters(const std::string& text) {
  if (target_ == nullptr || elements().empty()) {
    return;
  }
  const std::string value = trimmed(text);
  if (value.empty()) {
    return;
  }
  const std::string& local_name = current_element().second;
  if (local_name == "name") {
    target_->set_name(value);
  } else if (local_name == "email") {
    target_->set_email(value);
  } else if (local_name == "uri") {
    target_->set_uri(value);
  }
}

void atom_author_handler::end_element(const std::string& namespace_uri,
                                      const std::string& local_name) {
  if (target_ == nullptr || namespace_uri != atom_namespace_uri) {
    return;
  }
  check_element(namespace_uri, local_name);
  pop_element();
}

}  // namespace core::atom
