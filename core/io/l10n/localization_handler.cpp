#include "core/io/l10n/localization_handler.hpp"

#include "core/io/l10n/localization_table.hpp"

namespace core::io::l10n {

namespace {

std::string attribute_or_empty(const xml_attribute_map& attributes, const std::string& name) {
  return basic_xml_content_handler<char>::has_attribute(attributes, name)
             ? basic_xml_content_handler<char>::get_attribute(attributes, name).value
             : std::string();
}

}  // namespace

void localization_handler::start_element(const std::string& namespace_uri,
                                         const std::string& local_name,
                                         const xml_attribute_map& attributes) {
  if (target_ == nullptr) {
    return;
  }
  push_element(namespace_uri, local_name);
  if (namespace_uri != localization_namespace) {
    return;
  }
  if (local_name == "localization") {
    target_->clear();
    target_->set_culture(attribute_or_empty(attributes, "culture"));
  } else if (local_name == "string") {
    current_id_ = attribute_or_empty(attributes, "id");
  }
}

void localization_handler::end_element(const std::string& namespace_uri,
                                       const std::string& local_name) {
  if (target_ == nullptr) {
    return;
  }
  if (namespace_uri == localization_namespace && local_name == "localization") {
    current_id_.clear();
  }
  if (!elements().empty()) {
    check_element(namespace_uri, local_name);
    pop_element();
  }
}

void localization_handler::characters(const std::string& text) {
  if (target_ == nullptr || elements().empty() || current_id_.empty()) {
    return;
  }
  const auto& [namespace_uri, local_name] = current_element();
  if (namespace_uri == localization_namespace && local_name == "string") {
    target_->set_string(current_id_, text);
  }
}

}  // namespace core::io::l10n
