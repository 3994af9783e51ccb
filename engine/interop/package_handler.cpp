#include "engine/interop/package_handler.hpp"

#include "core/atom/reading.hpp"
#include "engine/interop/package.hpp"

namespace parvel::interop {

package_handler::package_handler(package* target)
    : text_extension_handler(target), target_(target) {}

void package_handler::start_extension(const std::string& local_name,
                                      const core::xml_attribute_map& attributes) {
  using core::atom::attribute_value;
  using core::atom::read_attributes;
  if (local_name == "from") {
    read_attributes("uid", [&] { target_->from = attribute_value(attributes, "uid"); });
  } else if (local_name == "recipient") {
    read_attributes("recipient",
                    [&] { target_->recipients.push_back(attribute_value(attributes, "uid")); });
  } else if (local_name == "media") {
    read_attributes("media", [&] { target_->media = attribute_value(attributes, "href"); });
  }
}

std::string* package_handler::text_field(const std::string& local_name) {
  if (local_name == "subject") {
    return &target_->subject;
  }
  if (local_name == "message") {
    return &target_->message;
  }
  return nullptr;
}

}  // namespace parvel::interop
