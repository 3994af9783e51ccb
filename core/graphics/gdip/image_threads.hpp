#pragma once

namespace core::graphics::gdip {

// The threads the imaging library gives one image at a time (at least 1); the
// setting is process-wide and read when an image's work starts.
unsigned image_threads();
void set_image_threads(unsigned count);

}  // namespace core::graphics::gdip
