#include "core/graphics/gdip/reading_hook.hpp"

namespace core::graphics::gdip {

namespace {

reading_hook& the_hook() {
  static reading_hook hook;
  return hook;
}

}  // namespace

void set_reading_hook(reading_hook hook) {
  the_hook() = std::move(hook);
}

namespace detail {

void call_reading_hook(const std::string& path) {
  if (the_hook()) {
    the_hook()(path);
  }
}

}  // namespace detail

}  // namespace core::graphics::gdip
