#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>

#include "core/graphics/pixel_format.hpp"

namespace core::graphics {

// A pixel buffer that a codec's transform and resize change in place. Rows
// run top to bottom, each exactly width * bytes_per_pixel(format) long.
struct raster_image {
  std::shared_ptr<std::uint8_t[]> pixels;
  std::size_t size = 0;  // bytes
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  pixel_format::pixel_format format = pixel_format::argb32;

  // Refills the raster with the first bytes_per_pixel * width * height bytes
  // of stream, read from its start; bytes the stream lacks read as zero.
  // Throws graphics_exception "cannot reset the image. Input stream is
  // invalid." for a failed stream and "Cannot get the size of a pixel." for a
  // format outside 1 to 8, leaving the raster as it was.
  void reset(std::istream& stream, pixel_format::pixel_format new_format, std::uint32_t new_width,
             std::uint32_t new_height);
};

}  // namespace core::graphics
