#pragma once

#include <vips/vips8>

namespace core::graphics::gdip::detail {

// The image as 8-bit sRGB with 3 bands, or 4 when it has alpha: palette,
// grey, CMYK, 16-bit and float sources all end up so, and every encoder and
// the resampler take that. Metadata stays, except a colour profile that
// described another colour space.
vips::VImage to_srgb8(vips::VImage image);

// The image with an alpha band, alpha 255 where it had none.
vips::VImage with_alpha(const vips::VImage& srgb8);

}  // namespace core::graphics::gdip::detail
