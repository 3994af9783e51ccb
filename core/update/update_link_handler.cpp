#include "core/update/update_link_handler.hpp"

#include "core/atom/reading.hpp"

namespace core::update {

void update_link_handler::set_target(update_link* target) {
  target_ = target;
  link_reader_.set_target(target);
}

void update_link_handler::start_element(const std::string& namespace_uri,
                                        const std::string& local_name,
                                        const xml_attribute_map& attributes) {
  if (target_ == nullptr || !atom::is_atom(namespace_uri, local_name, "link")) {
    return;
  }
  link_reader_.start_element(namespace_uri, local_name, attributes);
  atom::read_attributes(
      "link", [&] { target_->set_platform(atom::attribute_value(attributes, "platform")); });
}

}  // namespace core::update
