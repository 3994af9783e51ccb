#pragma once

#include <vips/vips8>

#include <cstdint>
#include <functional>

#include "core/graphics/gdip/bitmap.hpp"
#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip {

struct bitmap::impl {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // Makes the pixels, 8-bit sRGB with 3 bands or 4 (alpha last), anew for
  // each reader, since a file source streams once from top to bottom. A file
  // whose decoder can scale down while decoding (JPEG) honours a shrink of 2,
  // 4 or 8 and gives that much smaller pixels; other sources ignore it.
  // Evaluating the pixels, or anything made from them, fails once the
  // reader's stop is set (stoppable_image.hpp).
  std::function<vips::VImage(int shrink, const threading::stop_flag& stop)> pixels;
  bool shrinks_on_load = false;
  // The EXIF orientation (2 to 8) the pixels are still to be turned by
  // before they are encoded; width and height are those of the photo turned
  // upright. 1: the pixels stand as they are shown.
  int orientation = 1;
};

}  // namespace core::graphics::gdip
