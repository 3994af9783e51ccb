#pragma once

#include <cstdint>

// What the HD Photo decoder helper writes to its standard output: one header
// record, then height rows of width * stored_bytes(layout) bytes each, top
// row first, and nothing more. Both ends are built from one tree and run on
// one machine, so the record is in native layout.
namespace core::graphics::gdip::detail::hd_photo_wire {

// How a decoded pixel lays out its samples; the helper names jxrlib's pixel
// formats by these.
enum class layout : std::uint32_t {
  rgb24,
  bgr24,
  bgr32,  // the fourth byte is padding
  bgra32,
  rgba32,
  pbgra32,  // premultiplied alpha
  prgba32,
  gray8,
  gray16,
  rgb48,
  rgba64,
  cmyk32,
  cmyk64,
  count
};

struct header {
  std::uint32_t width;
  std::uint32_t height;
  layout pixels;
  float dpi_x;  // 0 when the file gives none
  float dpi_y;
};

// The bytes one pixel takes in the rows; 0 for values outside the enum.
constexpr std::uint32_t stored_bytes(layout pixels) {
  switch (pixels) {
    case layout::gray8:
      return 1;
    case layout::gray16:
      return 2;
    case layout::rgb24:
    case layout::bgr24:
      return 3;
    case layout::bgr32:
    case layout::bgra32:
    case layout::rgba32:
    case layout::pbgra32:
    case layout::prgba32:
    case layout::cmyk32:
      return 4;
    case layout::rgb48:
      return 6;
    case layout::rgba64:
    case layout::cmyk64:
      return 8;
    case layout::count:
      break;
  }
  return 0;
}

}  // namespace core::graphics::gdip::detail::hd_photo_wire
