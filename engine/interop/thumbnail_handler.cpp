#include "engine/interop/thumbnail_handler.hpp"

#include "core/atom/reading.hpp"
#include "engine/interop/entry_reading.hpp"
#include "engine/interop/thumbnail.hpp"

namespace parvel::interop {

thumbnail_handler::thumbnail_handler(thumbnail* target)
    : extension_handler(target), target_(target) {}

void thumbnail_handler::start_extension(const std::string& local_name,
                                        const core::xml_attribute_map& attributes) {
  if (local_name != "resolution") {
    return;
  }
  core::atom::read_attributes("resolution", [&] {
    read_extension_namespace(attributes, target_->extension_namespace);
    target_->width = number_attribute(attributes, "width");
    target_->height = number_attribute(attributes, "height");
  });
}

}  // namespace parvel::interop
