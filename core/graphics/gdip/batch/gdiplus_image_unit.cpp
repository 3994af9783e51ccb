#include "core/graphics/gdip/batch/gdiplus_image_unit.hpp"

#include "core/graphics/not_supported_exception.hpp"

namespace core::graphics::gdip::batch {

void gdiplus_image_unit::run() {
  if (predecessor_ != nullptr) {
    predecessor_->run();
  }
  execute();
}

std::shared_ptr<bitmap>& gdiplus_image_unit::image() {
  throw not_supported_exception("operation not supported.");
}

}  // namespace core::graphics::gdip::batch
