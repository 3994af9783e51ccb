#include "core/graphics/gdip/batch/gdiplus_image_unit.hpp"

#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/not_supported_exception.hpp"

namespace core::graphics::gdip::batch {

void gdiplus_image_unit::run(const threading::stop_flag& stop) {
  if (predecessor_ != nullptr) {
    predecessor_->run(stop);
  }
  // The flag may be gone once run() returns.
  struct stop_scope {
    const threading::stop_flag*& current;
    ~stop_scope() { current = &threading::never_stopped; }
  };
  stop_ = &stop;
  const stop_scope scope{stop_};
  try {
    execute();
  } catch (const gdiplus_exception& e) {
    // A stopped step fails the way it was cut short (a strip refused,
    // a helper's output ended): told apart here.
    if (!stop) {
      throw;
    }
    throw gdiplus_exception(e.message(), status::aborted);
  }
}

std::shared_ptr<bitmap>& gdiplus_image_unit::image() {
  throw not_supported_exception("operation not supported.");
}

}  // namespace core::graphics::gdip::batch
