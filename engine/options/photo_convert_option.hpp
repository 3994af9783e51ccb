#pragma once

#include <string>

#include "core/graphics/gdip/batch/gdiplus_batch_params.hpp"

namespace parvel {

// The target format of a send with its encoder parameters; format 0 keeps each
// photo's own format.
struct photo_convert_option {
  explicit photo_convert_option(int format_id = 0);

  // "Do not change" (localized) for 0, the format's name for 1 to 5, else empty.
  std::u16string text() const;

  int format;
  core::graphics::gdip::batch::gdiplus_batch_params params;  // "quality" 95
};

}  // namespace parvel
