#pragma once

#include <cstdint>

namespace core::graphics {

// How a resize samples the source.
enum image_interpolation_mode : std::int32_t {
  nearest_neighbor = 0,
  bilinear = 1,
  bicubic = 2,
  high_quality_bicubic = 3,  // resamples exactly as bicubic
};

// Which target size a resize computes; see image_target_size.hpp.
enum image_resize_flags : std::uint32_t {
  exact_size = 1,
  fit_size = 2,
  no_enlarge = 4,         // with fit_size only
  match_orientation = 8,  // with fit_size only
};

// Rotations are clockwise; flip_x mirrors left to right, flip_y top to bottom.
enum image_transform_mode : std::int32_t {
  rotate_none = 0,
  rotate_90 = 1,
  rotate_180 = 2,
  rotate_270 = 3,
  flip_x = 8,
  flip_y = 16,
};

}  // namespace core::graphics
