#include "tests/support/image_codecs.hpp"

#include <mutex>

#include "core/graphics/gdip/register_image_codecs.hpp"

namespace test_support {

void register_image_codecs() {
  static std::once_flag once;
  std::call_once(once, core::graphics::gdip::register_image_codecs);
}

}  // namespace test_support
