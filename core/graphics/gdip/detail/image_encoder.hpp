#pragma once

#include <vips/vips8>

#include <optional>
#include <ostream>

#include "core/graphics/gdip/encoder_clsid.hpp"

namespace core::graphics::gdip::detail {

// Writes srgb8 (8-bit sRGB, 3 or 4 bands) to out in the encoder's format,
// with the metadata the format carries (EXIF orientation, resolution, colour
// profile). JPEG drops alpha and takes jpeg_quality clamped to 1..100, or its
// own default of 75; TIFF is LZW-compressed; GIF keeps alpha as
// transparency. out must let the writer seek back within what it wrote (BMP
// and TIFF place their pieces out of order). Throws vips::VError or
// status_failure.
void encode_image(std::ostream& out, const vips::VImage& srgb8, encoder_clsid encoder,
                  std::optional<int> jpeg_quality);

}  // namespace core::graphics::gdip::detail
