#include "core/graphics/gdip/detail/upright.hpp"

namespace core::graphics::gdip::detail {

bool turns_sideways(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

vips::VImage turned_upright(const vips::VImage& stored, int orientation) {
  if (orientation < 2 || orientation > 8) {
    return stored;
  }
  vips::VImage image = stored.copy_memory();
  image.set(VIPS_META_ORIENTATION, orientation);
  return image.autorot();
}

}  // namespace core::graphics::gdip::detail
