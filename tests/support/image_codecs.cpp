#include "tests/support/image_codecs.hpp"

#include <mutex>

#include "core/graphics/gdip/hd_photo_decoder_program.hpp"
#include "core/graphics/gdip/register_image_codecs.hpp"

namespace test_support {

void register_image_codecs() {
  static std::once_flag once;
  std::call_once(once, [] {
    core::graphics::gdip::set_hd_photo_decoder_program(LUMBREL_HD_PHOTO_DECODER);
    core::graphics::gdip::register_image_codecs();
  });
}

}  // namespace test_support
