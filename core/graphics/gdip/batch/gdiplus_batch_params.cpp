#include "core/graphics/gdip/batch/gdiplus_batch_params.hpp"

#include <string>

namespace core::graphics::gdip::batch {

namespace {
const std::string quality_key = "quality";
}

void gdiplus_batch_params::set_quality(int quality) {
  (*this)[quality_key] = std::to_string(quality);
}

int gdiplus_batch_params::get_quality() const {
  return get<int>(quality_key);
}

bool gdiplus_batch_params::has_quality() const {
  return has(quality_key);
}

}  // namespace core::graphics::gdip::batch
