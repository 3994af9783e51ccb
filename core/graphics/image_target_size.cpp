#include "core/graphics/image_target_size.hpp"

#include <cmath>
#include <limits>
#include <utility>

#include "core/graphics/image_modes.hpp"

namespace core::graphics {

namespace {

// n / d in single precision, with a zero side giving what IEEE division
// gives, without dividing by zero.
float side_ratio(std::uint32_t n, std::uint32_t d) {
  if (d == 0) {
    return n == 0 ? std::numeric_limits<float>::quiet_NaN()
                  : std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(n) / static_cast<float>(d);
}

bool opposite_orientations(float a, float b) {
  return (a > 1 && b < 1) || (a < 1 && b > 1);
}

std::uint32_t scaled_side(std::uint32_t side, float scale) {
  const double scaled =
      std::floor(static_cast<double>(static_cast<float>(side)) * static_cast<double>(scale) + 0.5);
  // Saturate: a box of billions of pixels is refused later by the allocation.
  if (scaled >= static_cast<double>(std::numeric_limits<std::uint32_t>::max())) {
    return std::numeric_limits<std::uint32_t>::max();
  }
  return static_cast<std::uint32_t>(scaled);
}

image_size fit(image_size image, image_size& box, std::uint32_t flags) {
  if (image.width == 0 || image.height == 0) {
    return {};
  }
  if ((flags & match_orientation) != 0 &&
      opposite_orientations(side_ratio(box.width, box.height),
                            side_ratio(image.width, image.height))) {
    std::swap(box.width, box.height);
  }
  const float sx = side_ratio(box.width, image.width);
  const float sy = side_ratio(box.height, image.height);
  float scale = sy < sx ? sy : sx;
  if ((flags & no_enlarge) != 0 && scale > 1.0F) {
    scale = 1.0F;
  }
  return {scaled_side(image.width, scale), scaled_side(image.height, scale)};
}

}  // namespace

image_resize_plan plan_image_resize(image_size image, image_size box, std::uint32_t flags) {
  image_resize_plan plan{box, box, false};
  if ((flags & exact_size) == 0 && (flags & fit_size) != 0) {
    plan.result = fit(image, plan.box, flags);
  }
  plan.unchanged = plan.result.width == image.width || plan.result.height == image.height ||
                   plan.result.width == 0 || plan.result.height == 0;
  return plan;
}

}  // namespace core::graphics
