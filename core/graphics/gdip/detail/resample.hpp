#pragma once

#include <vips/vips8>

#include <cstdint>

#include "core/graphics/image_modes.hpp"

namespace core::graphics::gdip::detail {

// The resampling kernel of an interpolation mode; a value outside 0 to 3
// throws gdiplus_exception "Cannot convert 'image_interpolation_mode':
// <value> into the 'Gdiplus::InterpolationMode'." with status ok.
VipsKernel resampling_kernel(image_interpolation_mode interpolation);

// How much a JPEG should shrink while decoding on its way from
// source_width * source_height to width * height: the decoder's coarse
// scaling is kept to at most half of the way, so that the resampler does the
// rest and the result looks as if the whole image had been decoded.
int load_shrink(std::uint32_t source_width, std::uint32_t source_height, std::uint32_t width,
                std::uint32_t height);

// srgb8 scaled to exactly width * height. Alpha is premultiplied while
// resampling, so transparent pixels lend no colour to their neighbours.
vips::VImage resample(const vips::VImage& srgb8, std::uint32_t width, std::uint32_t height,
                      VipsKernel kernel);

}  // namespace core::graphics::gdip::detail
