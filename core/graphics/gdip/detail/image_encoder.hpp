#pragma once

#include <vips/vips8>

#include <optional>
#include <ostream>

#include "core/graphics/gdip/encoder_clsid.hpp"
#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip::detail {

// Writes srgb8 (8-bit sRGB, 3 or 4 bands) to out in the encoder's format,
// with the metadata the format carries (EXIF orientation, resolution, colour
// profile). JPEG drops alpha and takes jpeg_quality clamped to 1..100, or its
// own default of 75; TIFF is LZW-compressed; GIF keeps alpha as
// transparency. out must let the writer seek back within what it wrote (BMP
// and TIFF place their pieces out of order). stop: the one of the pixels'
// reader (stoppable_image.hpp), for what the encoder does before it evaluates
// them. Throws vips::VError or status_failure.
void encode_image(std::ostream& out, const vips::VImage& srgb8, encoder_clsid encoder,
                  std::optional<int> jpeg_quality,
                  const threading::stop_flag& stop = threading::never_stopped);

}  // namespace core::graphics::gdip::detail
