#pragma once

#include <vips/vips8>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/graphics/gdip/detail/decoder_memory.hpp"
#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

// What a BMP's headers declare.
struct bmp_header {
  std::uint64_t width = 0, height = 0;
  std::uint32_t bands = 3;  // decoded: 4 with alpha
  std::uint32_t bits = 0;   // stored, a pixel
  bool run_length = false;  // RLE4 or RLE8
  // The embedded colour profile, as declared: 0 when there is none.
  std::uint64_t profile_bytes = 0;
};

// The most of a BMP's first bytes its headers take: the file header, the
// largest info header, and the colour masks an info header of 40 bytes may
// be followed by.
inline constexpr std::size_t bmp_headers_size = 14 + 124 + 16;

// The largest embedded colour profile taken: no profile of an RGB space comes
// near it.
inline constexpr std::uint64_t bmp_largest_profile = std::uint64_t{4} << 20;

// The header from a BMP's first bytes (up to bmp_headers_size). Throws
// status_failure when they are cut short, when its layout is none of those
// decoded, or when its sides exceed what an image may have.
bmp_header read_bmp_header(std::string_view head);

// The memory of reading a BMP with header in strips, as the conversion asks
// for its rows: the chain behind the decoder, and the decoder's own.
decoder_memory estimate_bmp_decoder_memory(const bmp_header& header);

// A BMP's pixels in 8-bit sRGB. Decoded: the core and info headers up to V5;
// 1, 4 and 8 bits a pixel through a palette, also compressed as RLE4 and
// RLE8; 16 and 32 bits a pixel through colour masks (5-5-5 and 8-8-8 by
// default), with alpha where a mask takes it, unless alpha is 0 in every
// pixel (32 bits without masks take their fourth byte); 24 bits; rows bottom
// up or top down. Pixels an RLE stream skips are black. An embedded RGB
// colour profile goes with them; any other is left out, with a log line, and
// the pixels go as stored. Throws status_failure when the data end before
// the last pixel, when the compressed pixels run past the image, or when the
// file cannot be read.
//
// From the open file (read from its start), the rows are read as they are
// asked for, in any order, on any thread, within the decoder's memory
// (estimate_bmp_decoder_memory); throws status_failure(out_of_memory) when
// it exceeds the budget. An RLE file's codes are walked once first, so that
// its damage is found before a row is handed on; a file that changes after
// that fails the reading of its rows.
vips::VImage decode_bmp_file(scoped_handle file);

// From bytes, decoded whole now; throws status_failure(out_of_memory) when
// its pixels exceed the decode budget.
vips::VImage decode_bmp(std::string_view bytes);

}  // namespace core::graphics::gdip::detail
