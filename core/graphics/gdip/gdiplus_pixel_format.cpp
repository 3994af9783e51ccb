#include "core/graphics/gdip/gdiplus_pixel_format.hpp"

#include <string>

#include "core/graphics/gdip/gdiplus_exception.hpp"

namespace core::graphics::gdip {

pixel_format::pixel_format to_pixel_format(gdiplus_pixel_format format) {
  switch (format) {
    case gdiplus_pixel_formats::rgb24:
      return pixel_format::rgb24;
    case gdiplus_pixel_formats::argb32:
      return pixel_format::argb32;
    case gdiplus_pixel_formats::rgb565:
      return pixel_format::rgb565;
    case gdiplus_pixel_formats::rgb555:
      return pixel_format::rgb555;
    default:
      throw gdiplus_exception("Cannot convert 'Gdiplus::PixelFormat': " + std::to_string(format) +
                                  " into the 'pixel_format::pixel_format'.",
                              status::ok);
  }
}

gdiplus_pixel_format to_gdiplus_pixel_format(pixel_format::pixel_format format) {
  switch (format) {
    case pixel_format::rgb24:
      return gdiplus_pixel_formats::rgb24;
    case pixel_format::argb32:
      return gdiplus_pixel_formats::argb32;
    case pixel_format::rgb565:
      return gdiplus_pixel_formats::rgb565;
    case pixel_format::rgb555:
      return gdiplus_pixel_formats::rgb555;
    default:
      throw gdiplus_exception("Cannot convert 'pixel_format::pixel_format': " +
                                  std::to_string(static_cast<std::int32_t>(format)) +
                                  " into the 'Gdiplus::PixelFormat'.",
                              status::ok);
  }
}

}  // namespace core::graphics::gdip
