#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/graphics/image_target_size.hpp"

namespace core::graphics::gdip {

// What converting one image file holds at once, at most.
struct conversion_memory {
  // The decoder's, resampler's and encoder's buffers.
  std::uint64_t working = 0;
  // The encoded image.
  std::uint64_t encoded = 0;
  // Of working: what the decoder and the encoder hold of the whole image at
  // once (a progressive JPEG's coefficients, the GIF
  // encoder's frame); 0 when both work in strips.
  std::uint64_t whole = 0;
};

// The memory of converting the image file at path, resized into box by flags
// as the resizing unit does (kept at its size without a box), into the format
// of target_name's extension. Reads the file's header alone: an HD Photo, whose
// size only its decoding tells, counts as the largest one admitted. Empty when
// the header cannot be read: the conversion itself then fails and says why.
std::optional<conversion_memory> estimate_conversion_memory(const std::string& path,
                                                            std::optional<image_size> box,
                                                            std::uint32_t flags,
                                                            const std::string& target_name);

// Throws gdiplus_exception with out_of_memory, naming the file at path and
// the reason, when the conversion would hold more of the whole image at once
// than one image may, or, with held_beside (what the caller holds beside it:
// the encoded image and its copies, its working set), more than a conversion
// may hold even alone: refused before a byte of it is decoded.
void check_conversion_memory(const std::string& path, const conversion_memory& memory,
                             std::uint64_t held_beside = 0);

}  // namespace core::graphics::gdip
