#pragma once

#include <cstdint>

namespace core::graphics {

struct image_size {
  std::uint32_t width = 0;
  std::uint32_t height = 0;

  friend bool operator==(const image_size&, const image_size&) = default;
};

struct image_resize_plan {
  image_size box;     // the requested box, swapped when match_orientation turned it
  image_size result;  // the size the image gets
  bool unchanged;     // the image keeps its size and pixels
};

// The size a resize gives an image of size image under flags (bits of
// image_resize_flags) for the requested box. exact_size takes the box as it
// is; fit_size scales both sides by the smaller of the two side ratios
// (single precision, as stored sizes are compared), capped at 1 with
// no_enlarge, after turning the box to the image's orientation with
// match_orientation; without either flag the box is the result. The image is
// left unchanged when a result side is 0 or when either side keeps its length.
image_resize_plan plan_image_resize(image_size image, image_size box, std::uint32_t flags);

}  // namespace core::graphics
