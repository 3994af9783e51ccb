#pragma once

#include <vips/vips8>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

// What a BMP's headers declare.
struct bmp_header {
  std::uint64_t width = 0, height = 0;
  std::uint32_t bands = 3;  // decoded: 4 with alpha
  std::uint32_t bits = 0;   // stored, a pixel
};

// The most of a BMP's first bytes its headers take: the file header, the
// largest info header, and the colour masks an info header of 40 bytes may
// be followed by.
inline constexpr std::size_t bmp_headers_size = 14 + 124 + 16;

// The header from a BMP's first bytes (up to bmp_headers_size). Throws
// status_failure when they are cut short, when its layout is none of those
// decoded, or when its decoded pixels would exceed the decode budget.
bmp_header read_bmp_header(std::string_view head);

// What decoding the BMP holds at most.
std::uint64_t bmp_decoder_bytes(const bmp_header& header);

// A BMP decoded whole into 8-bit sRGB in memory, from the open file (read
// from its start) or from bytes. Decoded: the core and info headers up to
// V5; 1, 4 and 8 bits a pixel through a palette, also compressed as RLE4 and
// RLE8; 16 and 32 bits a pixel through colour masks (5-5-5 and 8-8-8 by
// default), with alpha where a mask takes it, unless alpha is 0 in every
// pixel (32 bits without masks take their fourth byte); 24 bits; rows bottom
// up or top down. Pixels an RLE stream skips are black. Throws
// status_failure when the data end before the last pixel, when the
// compressed pixels run past the image, or when the file cannot be read;
// vips::VError when the memory for the pixels cannot be had.
vips::VImage decode_bmp_file(scoped_handle file);
vips::VImage decode_bmp(std::string_view bytes);

}  // namespace core::graphics::gdip::detail
