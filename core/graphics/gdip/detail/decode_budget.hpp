#pragma once

#include <cstdint>

#include "core/graphics/gdip/detail/decoder_memory.hpp"

namespace core::graphics::gdip::detail {

// What a conversion running alone may hold, all told: with the program's own
// 35 MiB the process stays under 384 MiB.
inline constexpr std::uint64_t conversion_budget = std::uint64_t{349} << 20;

// The most bytes one image may hold while it is decoded whole (BMP, GIF with
// the bytes of its file read for it, interlaced PNG, progressive JPEG's
// coefficients): converted alone, with the chain behind it, within the
// conversion budget. A 100-megapixel progressive JPEG fits at 4:2:0, a
// 48-megapixel one at 4:4:4.
inline constexpr std::uint64_t decode_budget = std::uint64_t{320} << 20;

// HD Photo's samples as its helper hands them over: their 8-bit copy takes
// as much again beside them.
inline constexpr std::uint64_t hd_photo_budget = std::uint64_t{192} << 20;

// What a decoder reading in strips and the chain behind it hold per column of
// an image of 8-bit samples without alpha: a few rows for the decoder, the
// pipeline's caches and the resampler's window.
inline constexpr std::uint64_t streamed_bytes_per_column = 2048;

// No photo's file is this small for its pixels: a constant colour saved as
// JPEG takes a byte for 64 pixels, as PNG a byte for about 330. A file that
// declares more pixels is a decompression bomb, whatever it would cost.
inline constexpr std::uint64_t most_pixels_per_file_byte = 4096;

// Throws status_failure(out_of_memory), the reason in its text, when an image
// of width x height decoded whole at bytes_per_pixel exceeds the budget. Done
// before a byte of its pixels is allocated.
void check_decode_budget(std::uint64_t width, std::uint64_t height, std::uint64_t bytes_per_pixel,
                         std::uint64_t budget = decode_budget);

// Throws status_failure(out_of_memory) when decoding an image of width x
// height takes more than the budget: held whole, with the encoded bytes it
// holds, or, read in strips, across a width too wide, or by the metadata it
// keeps; or when its file of file_size bytes is far too small for
// the pixels it declares (images small enough to decode whole at 3 bytes a
// pixel are never judged by their bytes).
void check_decoder_memory(std::uint64_t width, std::uint64_t height, const decoder_memory& memory,
                          std::uint64_t file_size);

}  // namespace core::graphics::gdip::detail
