#pragma once

#include <vips/vips8>

#include <ostream>

#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip::detail {

// Writes an uncompressed Windows bitmap: 24 bits a pixel for 3 bands, 32 (the
// fourth byte alpha) for 4, rows bottom up and padded to 4 bytes, with the
// image's resolution. The pixels are 8-bit sRGB. Images whose file would pass
// 4 GiB throw status_failure with value_overflow; a set stop ends the
// writing with status_failure aborted.
void write_bmp(std::ostream& out, const vips::VImage& srgb8,
               const threading::stop_flag& stop = threading::never_stopped);

}  // namespace core::graphics::gdip::detail
