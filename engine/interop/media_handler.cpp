#include "engine/interop/media_handler.hpp"

#include "core/atom/reading.hpp"
#include "engine/interop/entry_reading.hpp"
#include "engine/interop/media.hpp"

namespace parvel::interop {

media_handler::media_handler(media* target) : extension_handler(target), target_(target) {}

void media_handler::start_extension(const std::string& local_name,
                                    const core::xml_attribute_map& attributes) {
  if (local_name != "media") {
    return;
  }
  core::atom::read_attributes("media", [&] {
    using core::atom::attribute_value;
    read_extension_namespace(attributes, target_->extension_namespace);
    target_->mime_type = attribute_value(attributes, "mime-type");
    target_->format = attribute_value(attributes, "format");
    target_->resolution = attribute_value(attributes, "resolution");
    target_->original_name = attribute_value(attributes, "original-name");
    target_->entries = number_attribute(attributes, "entries");
    target_->client_type = attribute_value(attributes, "client-type");
  });
}

}  // namespace parvel::interop
