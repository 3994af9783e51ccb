#include "core/graphics/gdip/image_threads.hpp"

#include <vips/vips.h>

#include <algorithm>

namespace core::graphics::gdip {

unsigned image_threads() {
  return static_cast<unsigned>(std::max(1, vips_concurrency_get()));
}

void set_image_threads(unsigned count) {
  vips_concurrency_set(static_cast<int>(std::max(1U, count)));
}

}  // namespace core::graphics::gdip
