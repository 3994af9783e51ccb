#pragma once

#include <vips/vips8>

#include <cstddef>

namespace core::graphics::gdip::detail {

// Decodes a whole HD Photo file held in memory into an image in memory: the
// first frame, 8 or 16 bits a sample, RGB(A), grey or CMYK; resolution kept.
// Other sample formats (float, fixed point, half, packed) and damaged files
// throw status_failure.
vips::VImage decode_hd_photo(const void* data, std::size_t size);

}  // namespace core::graphics::gdip::detail
