#pragma once

#include <cstdint>

#include "core/graphics/pixel_format.hpp"

namespace core::graphics {

// The header of a decoded image or of the pixels handed to an encoder.
struct image_data {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  pixel_format::pixel_format format = pixel_format::argb32;
};

}  // namespace core::graphics
