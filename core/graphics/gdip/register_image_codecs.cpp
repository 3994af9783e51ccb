#include "core/graphics/gdip/register_image_codecs.hpp"

#include <memory>

#include "core/graphics/codec_registry.hpp"
#include "core/graphics/gdip/gdiplus_image_codec.hpp"

namespace core::graphics::gdip {

void register_image_codecs() {
  const auto codec = std::make_shared<gdiplus_image_codec>();
  for (const image_format format : {image_formats::bmp, image_formats::gif, image_formats::jpeg,
                                    image_formats::png, image_formats::tiff, image_formats::none}) {
    register_codec(format, codec);
  }
}

}  // namespace core::graphics::gdip
