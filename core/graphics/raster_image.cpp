#include "core/graphics/raster_image.hpp"

#include <limits>

#include "core/graphics/graphics_exception.hpp"

namespace core::graphics {

void raster_image::reset(std::istream& stream, pixel_format::pixel_format new_format,
                         std::uint32_t new_width, std::uint32_t new_height) {
  if (!stream) {
    throw graphics_exception("cannot reset the image. Input stream is invalid.");
  }
  const std::size_t pixel_size = pixel_format::bytes_per_pixel(new_format);
  // 4 * (2^32 - 1)^2 does not fit 64 bits: refuse before allocating.
  if (new_width != 0 &&
      new_height > std::numeric_limits<std::size_t>::max() / pixel_size / new_width) {
    throw graphics_exception("cannot reset the image. The image is too large.");
  }
  const std::size_t new_size = pixel_size * new_width * new_height;
  std::shared_ptr<std::uint8_t[]> new_pixels(new std::uint8_t[new_size]());

  stream.seekg(0, std::ios_base::beg);
  stream.read(reinterpret_cast<char*>(new_pixels.get()), static_cast<std::streamsize>(new_size));
  stream.clear();

  pixels = std::move(new_pixels);
  size = new_size;
  width = new_width;
  height = new_height;
  format = new_format;
}

}  // namespace core::graphics
