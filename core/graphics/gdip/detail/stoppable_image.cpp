#include "core/graphics/gdip/detail/stoppable_image.hpp"

namespace core::graphics::gdip::detail {

namespace {

// On the thread that evaluates progress->im, between its strips.
void kill_when_stopped(VipsImage*, VipsProgress* progress, const threading::stop_flag* stop) {
  if (stop->load(std::memory_order_relaxed)) {
    vips_image_set_kill(progress->im, TRUE);
  }
}

}  // namespace

vips::VImage stoppable(const vips::VImage& image, const threading::stop_flag& stop) {
  if (&stop == &threading::never_stopped) {
    return image;
  }
  // A copy of its own: the image may be shared, and the report stays with
  // the copy and what is made from it.
  vips::VImage watched = image.copy();
  vips_image_set_progress(watched.get_image(), TRUE);
  g_signal_connect(watched.get_image(), "eval", G_CALLBACK(kill_when_stopped),
                   const_cast<threading::stop_flag*>(&stop));
  return watched;
}

}  // namespace core::graphics::gdip::detail
