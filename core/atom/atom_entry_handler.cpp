#include "core/atom/atom_entry_handler.hpp"

#include "core/atom/atom_namespace.hpp"
#include "core/atom/reading.hpp"

namespace core::atom {

void atom_entry_handler::start_element(const std::string& namespace_uri,
                                       const std::string& local_name,
                                       const xml_attribute_map& attributes) {
  if (target_ == nullptr) {
    return;
  }
  push_element(namespace_uri, local_name);
  if (namespace_uri == xhtml_namespace_uri) {
    xhtml_.start_element(namespace_uri, local_name, attributes);
    return;
  }
  if (namespace_uri != atom_namespace_uri) {
    return;
  }
  if (local_name == "entry") {
    read_attributes("entry", [&] {
      if (!target_->empty()) {
        target_->clear();
      }
      target_->set_namespace_uri(declared_namespace(attributes));
    });
  } else if (local_name == "category") {
    read_attributes("category", [&] {
      const std::string scheme = attribute_value(attributes, "scheme");
      const std::string term = attribute_value(attributes, "term");
      target_->set_category_scheme(scheme);
      target_->set_category_term(term);
    });
  } else if (local_name == "title") {
    read_attributes("title", [&] { target_->set_title_type(attribute_value(attributes, "type")); });
  } else if (local_name == "link") {
    link_reader_.set_target(&target_->add_link());
    link_reader_.start_element(namespace_uri, local_name, attributes);
  } else if (local_name == "content") {
    // XHTML met outside a content (in an xhtml title, say) must not become
    // this content's markup.
    xhtml_.clear();
    read_attributes("content",
                    [&] { target_->set_content_type(attribute_value(attributes, "type")); });
  }
}

void atom_entry_handler::characters(const std::string& text) {
  if (target_ == nullptr || elements().empty()) {
    return;
  }
  const std::string value = trimmed(text);
  if (value.empty()) {
    return;
  }
  const auto& [namespace_uri, local_name] = current_element();
  if (namespace_uri == xhtml_namespace_uri) {
    xhtml_.characters(value);
  } else if (namespace_uri != atom_namespace_uri) {
    return;
  } else if (local_name == "id") {
    target_->set_id(value);
  } else if (local_name == "updated") {
    target_->set_updated(value);
  } else if (local_name == "title") {
    target_->set_title(value);
  } else if (local_name == "content") {
    target_->set_content(value);
  }
}

void atom_entry_handler::end_element(const std::string& namespace_uri,
                                     const std::string& local_name) {
  if (target_ == nullptr) {
    return;
  }
  if (is_atom(namespace_uri, local_name, "link")) {
    link_reader_.end_element(namespace_uri, local_name);
  } else if (is_atom(namespace_uri, local_name, "content")) {
    if (target_->content_type() == "xhtml" && !xhtml_.str().empty()) {
      target_->set_content(xhtml_.str());
      xhtml_.clear();
    }
  } else if (namespace_uri == xhtml_namespace_uri) {
    xhtml_.end_element(namespace_uri, local_name);
  }
  check_element(namespace_uri, local_name);
  pop_element();
}

}  // namespace core::atom
