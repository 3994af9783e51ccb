#pragma once

#include <vips/vips8>

namespace core::graphics::gdip::detail {

// Whether an EXIF orientation (1 to 8) swaps width and height.
bool turns_sideways(int orientation);

// stored as a photo of that orientation is shown; the tag goes. The pixels
// are held in memory first: a turn reads them out of the order in which a
// file streams them, so callers turn photos once they are resized.
vips::VImage turned_upright(const vips::VImage& stored, int orientation);

}  // namespace core::graphics::gdip::detail
