#pragma once

#include <cstdint>

#include "core/graphics/gdip/detail/decoder_memory.hpp"
#include "core/graphics/gdip/detail/encoded_input.hpp"

namespace core::graphics::gdip::detail {

// What the GIF loader makes of a file's first image, found from the blocks
// before it and the lengths of its data's sub-blocks, none of its pixels:
// the loader holds the bytes it is given whole, and the first image is all
// that is decoded, so the bytes after it (further frames, padding) need not
// be read.
struct gif_layout {
  // The frame the loader decodes into: the logical screen, grown to hold the
  // first image.
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  // A graphic control before the first image marks a transparent colour.
  bool transparency = false;
  // The first image's data ends in the file.
  bool image_whole = false;
  // The bytes up to the end of the first image's data: all the loader needs.
  // The whole file when no whole first image is found in it, so that a cut
  // or damaged file reaches the loader as it stands.
  std::uint64_t extent = 0;
};

// The layout of the GIF input. The walk gives up once it is past the decode
// budget, its extent the bytes walked: they alone would take the budget.
// Throws status_failure when the input cannot be read.
gif_layout read_gif_layout(const encoded_input& input);

// What decoding the first image read from its file holds: the frame, RGBA,
// beside the bytes read for it.
decoder_memory gif_file_memory(const gif_layout& layout);

}  // namespace core::graphics::gdip::detail
