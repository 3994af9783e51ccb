#pragma once

#include <cstdint>

#include "core/graphics/pixel_format.hpp"

namespace core::graphics::gdip {

// The imaging library's pixel format codes, as stored and logged.
using gdiplus_pixel_format = std::int32_t;

namespace gdiplus_pixel_formats {
inline constexpr gdiplus_pixel_format rgb555 = 0x21005;
inline constexpr gdiplus_pixel_format rgb565 = 0x21006;
inline constexpr gdiplus_pixel_format rgb24 = 0x21808;
inline constexpr gdiplus_pixel_format argb32 = 0x26200A;
}  // namespace gdiplus_pixel_formats

// Only the four formats above convert; others throw gdiplus_exception
// "Cannot convert 'Gdiplus::PixelFormat': <value> into the
// 'pixel_format::pixel_format'." with status ok.
pixel_format::pixel_format to_pixel_format(gdiplus_pixel_format format);

// rgb24, argb32, rgb565 and rgb555 convert; others throw gdiplus_exception
// "Cannot convert 'pixel_format::pixel_format': <value> into the
// 'Gdiplus::PixelFormat'." with status ok.
gdiplus_pixel_format to_gdiplus_pixel_format(pixel_format::pixel_format format);

}  // namespace core::graphics::gdip
