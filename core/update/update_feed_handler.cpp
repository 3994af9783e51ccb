#include "core/update/update_feed_handler.hpp"

namespace core::update {

void update_feed_handler::start_element(const std::string& namespace_uri,
                                        const std::string& local_name,
                                        const xml_attribute_map& attributes) {
  if (target_ == nullptr) {
    return;
  }
  push_element(namespace_uri, local_name);
  if (!in_entry_ && local_name == "entry") {
    target_->add_entry();
    entry_reader_.set_target(&target_->entry_value(target_->entry_count() - 1));
    in_entry_ = true;
  }
  if (in_entry_) {
    entry_reader_.start_element(namespace_uri, local_name, attributes);
  } else {
    feed_reader_.start_element(namespace_uri, local_name, attributes);
  }
}

void update_feed_handler::characters(const std::string& text) {
  if (target_ == nullptr) {
    return;
  }
  if (in_entry_) {
    entry_reader_.characters(text);
  } else {
    feed_reader_.characters(text);
  }
}

void update_feed_handler::end_element(const std::string& namespace_uri,
                                      const std::string& local_name) {
  if (target_ == nullptr) {
    return;
  }
  if (in_entry_) {
    entry_reader_.end_element(namespace_uri, local_name);
    in_entry_ = local_name != "entry";
  } else if (local_name != "entry") {
    feed_reader_.end_element(namespace_uri, local_name);
  }
  check_element(namespace_uri, local_name);
  pop_element();
}

}  // namespace core::update
