#pragma once

#include <vips/vips8>

#include <cstdint>
#include <string>
#include <string_view>

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
  // Of bytes: the encoded image, which the loader holds whole beside them.
  std::uint64_t encoded = 0;
};

// What the chain behind a decoder reading rows holds per column of the image:
// the loader's caches and the resampler's window, for samples of sample
// bytes, with alpha or without.
std::uint64_t chain_bytes_per_column(bool alpha, std::uint64_t sample);

// A loader keeps each metadata segment it saves and copies it into the
// image's metadata: measured at about twice their bytes; three leave room.
inline constexpr std::uint64_t metadata_copies = 3;

// An encoded image: the file at path, or bytes when path is empty.
struct encoded_image {
  std::string path;
  std::string_view bytes;
};

// The bytes of image: its file's size, or 0 when the file cannot be looked at.
std::uint64_t encoded_size(const encoded_image& image);

// The memory of decoding image in format (neither HD Photo, decoded whole on
// its own terms, nor BMP, whose decoder tells its own, nor a GIF's file, read
// up to its first image's end: gif_file_memory) as its loader's header
// announces it, scaled down by shrink on the way (JPEG alone does).
// Throws status_failure when the file cannot be read.
decoder_memory estimate_decoder_memory(const encoded_image& image, const vips::VImage& header,
                                       image_format format, int shrink);

}  // namespace core::graphics::gdip::detail
