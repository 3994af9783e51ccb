#pragma once

#include <cstdint>
#include <memory>

namespace core::graphics::gdip {

// An image as the imaging units hand it on. Its size is known at once; its
// pixels are made when a unit reads them, so a chain streams a photo from its
// file to its encoder without holding it whole. Immutable, so units share it.
class bitmap {
 public:
  struct impl;  // core/graphics/gdip/detail/bitmap_impl.hpp

  explicit bitmap(std::unique_ptr<const impl> state);
  ~bitmap();
  bitmap(const bitmap&) = delete;
  bitmap& operator=(const bitmap&) = delete;

  std::uint32_t width() const noexcept;
  std::uint32_t height() const noexcept;

  const impl& state() const noexcept { return *state_; }

 private:
  std::unique_ptr<const impl> state_;
};

}  // namespace core::graphics::gdip
