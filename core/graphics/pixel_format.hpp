#pragma once

#include <cstddef>
#include <cstdint>

namespace core::graphics::pixel_format {

// How the pixels of a raster are laid out. Byte order within a pixel is the
// little-endian word order: rgb24 is B, G, R; argb32 is B, G, R, A; the 16-bit
// formats are one little-endian word each. The formats without a name have no
// counterpart in the imaging library: a raster can hold them, not convert them.
enum pixel_format : std::int32_t {
  rgb24 = 1,
  argb32 = 2,
  unnamed_32bpp_3 = 3,
  rgb565 = 4,
  rgb555 = 5,
  unnamed_16bpp_6 = 6,
  unnamed_32bpp_7 = 7,
  unnamed_32bpp_8 = 8,
};

// Bytes of one pixel; a value outside 1 to 8 throws graphics_exception
// "Cannot get the size of a pixel.".
std::size_t bytes_per_pixel(pixel_format format);

}  // namespace core::graphics::pixel_format
