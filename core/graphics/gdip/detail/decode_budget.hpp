#pragma once

#include <cstdint>

#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

// The most bytes the pixels of one image may take once decoded to 8-bit
// sRGB(A): what the archive job lets its conversions hold at once. A
// 61-megapixel photo fits; a header claiming more is refused before any
// pixel is decoded, so a few hostile bytes cannot ask for gigabytes.
inline constexpr std::uint64_t decode_budget = std::uint64_t{192} << 20;

// Throws status_failure(out_of_memory) when width x height pixels, with alpha
// or without, exceed the budget.
inline void check_decode_budget(std::uint64_t width, std::uint64_t height, bool alpha) {
  const std::uint64_t bytes_per_pixel = alpha ? 4 : 3;
  // Each side fits 32 bits, so the product cannot overflow.
  if (width > UINT32_MAX || height > UINT32_MAX ||
      width * height > decode_budget / bytes_per_pixel) {
    throw status_failure(status::out_of_memory);
  }
}

}  // namespace core::graphics::gdip::detail
