#pragma once

#include <vips/vips8>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/graphics/gdip/detail/bmp_decoder.hpp"
#include "core/graphics/image_format.hpp"

namespace core::graphics::gdip::detail {

// What an image's decoder and the chain behind it hold at most while they
// read it, judged from the file's own layout before its pixels are decoded.
struct decoder_memory {
  // Every pixel (or coefficient) at once; else a band of rows across the width.
  bool whole = false;
  std::uint64_t bytes = 0;
  // Beside the pixels: the metadata the loader reads into memory, with its copies.
  std::uint64_t metadata = 0;
};

// An encoded image: the file at path, or bytes when path is empty.
struct encoded_image {
  std::string path;
  std::string_view bytes;
};

// The bytes of image: its file's size, or 0 when the file cannot be looked at.
std::uint64_t encoded_size(const encoded_image& image);

// The memory of decoding image in format (neither HD Photo, decoded whole on
// its own terms, nor BMP) as its loader's header announces it, scaled down
// by shrink on the way (JPEG alone does). Throws status_failure when the file
// cannot be read.
decoder_memory estimate_decoder_memory(const encoded_image& image, const vips::VImage& header,
                                       image_format format, int shrink);

// The memory of reading a BMP with header in strips, as the conversion asks
// for its rows.
decoder_memory estimate_bmp_decoder_memory(const bmp_header& header);

}  // namespace core::graphics::gdip::detail
