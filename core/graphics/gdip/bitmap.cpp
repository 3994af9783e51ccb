#include "core/graphics/gdip/bitmap.hpp"

#include "core/graphics/gdip/detail/bitmap_impl.hpp"

namespace core::graphics::gdip {

bitmap::bitmap(std::unique_ptr<const impl> state) : state_(std::move(state)) {}

bitmap::~bitmap() = default;

std::uint32_t bitmap::width() const noexcept {
  return state_->width;
}

std::uint32_t bitmap::height() const noexcept {
  return state_->height;
}

}  // namespace core::graphics::gdip
