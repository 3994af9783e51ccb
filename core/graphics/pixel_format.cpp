#include "core/graphics/pixel_format.hpp"

#include "core/graphics/graphics_exception.hpp"

namespace core::graphics::pixel_format {

std::size_t bytes_per_pixel(pixel_format format) {
  switch (format) {
    case rgb24:
      return 3;
    case argb32:
    case unnamed_32bpp_3:
    case unnamed_32bpp_7:
    case unnamed_32bpp_8:
      return 4;
    case rgb565:
    case rgb555:
    case unnamed_16bpp_6:
      return 2;
  }
  throw graphics_exception("Cannot get the size of a pixel.");
}

}  // namespace core::graphics::pixel_format
