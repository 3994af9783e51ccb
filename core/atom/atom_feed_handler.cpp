#include "core/atom/atom_feed_handler.hpp"

#include "core/atom/atom_namespace.hpp"
#include "core/atom/reading.hpp"

namespace core::atom {

void atom_feed_handler::activate(basic_xml_content_handler<char>& reader,
                                 const std::string& local_name) {
  active_ = &reader;
  active_name_ = local_name;
}

void atom_feed_handler::start_element(const std::string& namespace_uri,
                                      const std::string& local_name,
                                      const xml_attribute_map& attributes) {
  if (target_ == nullptr) {
    return;
  }
  if (active_ != nullptr) {
    active_->start_element(namespace_uri, local_name, attributes);
    return;
  }
  if (namespace_uri != atom_namespace_uri) {
    return;
  }
  push_element(namespace_uri, local_name);
  if (local_name == "feed") {
    read_attributes("feed", [&] {
      if (!target_->empty()) {
        target_->clear();
      }
      target_->set_namespace_uri(declared_namespace(attributes));
    });
  } else if (local_name == "title") {
    read_attributes("feed", [&] { target_->set_title_type(attribute_value(attributes, "type")); });
  } else if (local_name == "subtitle") {
    read_attributes("feed",
                    [&] { target_->set_subtitle_type(attribute_value(attributes, "type")); });
  } else if (local_name == "link") {
    link_reader_.set_target(&target_->add_link());
    link_reader_.start_element(namespace_uri, local_name, attributes);
  } else if (local_name == "author") {
    author_reader_.set_target(&target_->author());
    activate(author_reader_, local_name);
    author_reader_.start_element(namespace_uri, local_name, attributes);
  } else if (local_name == "entry") {
    entry_reader_.set_target(&target_->add_entry());
    activate(entry_reader_, local_name);
    entry_reader_.start_element(namespace_uri, local_name, attributes);
  }
}

void atom_feed_handler::characters(const std::string& text) {
  if (target_ == nullptr) {
    return;
  }
  if (active_ != nullptr) {
    active_->characters(text);
    return;
  }
  const std::string value = trimmed(text);
  if (elements().empty() || value.empty()) {
    return;
  }
  const std::string& local_name = current_element().second;
  if (local_name == "id") {
    target_->set_id(value);
  } else if (local_name == "updated") {
    target_->set_updated(value);
  } else if (local_name == "title") {
    target_->set_title(value);
  } else if (local_name == "subtitle") {
    target_->set_subtitle(value);
  }
}

void atom_feed_handler::end_element(const std::string& namespace_uri,
                                    const std::string& local_name) {
  if (target_ == nullptr) {
    return;
  }
  if (active_ != nullptr) {
    active_->end_element(namespace_uri, local_name);
    if (local_name != active_name_) {
      return;
    }
    active_ = nullptr;
  }
  if (namespace_uri != atom_namespace_uri) {
    return;
  }
  if (local_name == "link") {
    link_reader_.end_element(namespace_uri, local_name);
  }
  check_element(namespace_uri, local_name);
  pop_element();
}

}  // namespace core::atom
