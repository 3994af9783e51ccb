#pragma once

#include <string>

#include "core/graphics/gdip/batch/gdiplus_batch_params.hpp"
#include "core/graphics/image_format.hpp"

namespace parvel {

// The formats a send may convert to, by their image format ids.
enum photo_convert_format : int {
  convert_keep = core::graphics::image_formats::none,  // each photo's own format
  convert_bmp = core::graphics::image_formats::bmp,
  convert_gif = core::graphics::image_formats::gif,
  convert_jpeg = core::graphics::image_formats::jpeg,
  convert_png = core::graphics::image_formats::png,
  convert_tiff = core::graphics::image_formats::tiff
};

// The target format of a send with its encoder parameters.
struct photo_convert_option {
  explicit photo_convert_option(int format_id = convert_keep);

  // "Do not change" (localized) for convert_keep, the format's name for the
  // other convert formats, else empty.
  std::u16string text() const;

  int format;
  core::graphics::gdip::batch::gdiplus_batch_params params;  // "quality" 95
};

}  // namespace parvel
