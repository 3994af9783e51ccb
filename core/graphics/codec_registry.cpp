#include "core/graphics/codec_registry.hpp"

#include "core/graphics/graphics_exception.hpp"

namespace core::graphics {

namespace {

codec_map& registry() {
  static codec_map codecs;
  return codecs;
}

}  // namespace

void register_codec(image_format format, std::shared_ptr<image_codec> codec) {
  codec_map& codecs = registry();
  const auto found = codecs.find(format);
  if (found != codecs.end()) {
    throw graphics_exception("Cannot register codec: '" + codec->name() + "' for the '" +
                             image_format_mime_type(format) +
                             "' image format. A different codec: '" + found->second->name() +
                             "' already registered for that format.");
  }
  codecs.emplace(format, std::move(codec));
}

const codec_map& registered_codecs() {
  return registry();
}

}  // namespace core::graphics
