#include "core/update/update_entry_handler.hpp"

#include "core/atom/reading.hpp"
#include "core/update/update_namespace.hpp"

namespace core::update {

void update_entry_handler::set_target(update_entry* target) {
  target_ = target;
  entry_reader_.set_target(target);
}

void update_entry_handler::start_element(const std::string& namespace_uri,
                                         const std::string& local_name,
                                         const xml_attribute_map& attributes) {
  if (target_ == nullptr) {
    return;
  }
  push_element(namespace_uri, local_name);
  if (namespace_uri == update_namespace_uri) {
    if (local_name == "status") {
      atom::read_attributes(
          "status", [&] { target_->set_status(atom::attribute_value(attributes, "type")); });
    }
    return;
  }
  entry_reader_.start_element(namespace_uri, local_name, attributes);
  if (local_name == "link" && target_->link_count() > 0) {
    link_reader_.set_target(&target_->link_value(target_->link_count() - 1));
    link_reader_.start_element(namespace_uri, local_name, attributes);
  }
}

void update_entry_handler::characters(const std::string& text) {
  if (target_ == nullptr || elements().empty()) {
    return;
  }
  const auto& [namespace_uri, local_name] = current_element();
  if (namespace_uri != update_namespace_uri) {
    entry_reader_.characters(text);
    return;
  }
  if (local_name == "version") {
    if (const std::string value = atom::trimmed(text); !value.empty()) {
      target_->set_version(value);
    }
  }
}

void update_entry_handler::end_element(const std::string& namespace_uri,
                                       const std::string& local_name) {
  if (target_ == nullptr) {
    return;
  }
  if (namespace_uri != update_namespace_uri) {
    entry_reader_.end_element(namespace_uri, local_name);
  }
  check_element(namespace_uri, local_name);
  pop_element();
}

}  // namespace core::update
