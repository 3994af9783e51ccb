#pragma once

#include <vips/vips8>

#include <cstdint>
#include <vector>

#include "core/graphics/pixel_format.hpp"

namespace core::graphics::gdip::detail {

// An image in memory, 8-bit sRGB, made from width * height pixels of format
// (rgb24, argb32, rgb565 or rgb555) in rows of exactly width *
// bytes_per_pixel(format) bytes: rows are taken one by one, so no row length
// is assumed to be a multiple of 4. A side of 0 or beyond the library's limit
// throws status_failure with invalid_parameter.
vips::VImage image_from_packed_pixels(const std::uint8_t* pixels, pixel_format::pixel_format format,
                                      std::uint32_t width, std::uint32_t height);

// The pixels of srgb8 as 32-bit ARGB words: bytes B, G, R, A, rows of 4 *
// width bytes, alpha 255 where the image has none.
std::vector<std::uint8_t> argb_pixels(const vips::VImage& srgb8);

}  // namespace core::graphics::gdip::detail
