#pragma once

#include <vips/vips8>

#include <cstdint>
#include <string>

namespace core::graphics::gdip::detail {

// What ImageMagick may hold in memory, and as much again mapped, while it
// decodes a BMP: beyond that its pixel cache and the stored pixels go to files.
inline constexpr std::uint64_t bmp_decoder_heap = std::uint64_t{32} << 20;

// A BMP decoded whole into 8-bit sRGB in memory, from the file at path or
// from bytes. ImageMagick decodes it into a pixel cache of up to 10 bytes a
// pixel that its resource limits send to a file once large: one decode at a
// time in the process, so that the limits hold, with the cache in the
// decoder scratch folder and gone before this returns. Throws vips::VError.
vips::VImage decode_bmp_file(const std::string& path);
vips::VImage decode_bmp(const std::string& bytes);

}  // namespace core::graphics::gdip::detail
