#pragma once

namespace core::graphics::gdip {

// Start-up's registration: one gdiplus_image_codec under bmp, gif, jpeg, png,
// tiff and none, in that order. Call once, after the imaging library has been
// started; a second call throws the registry's graphics_exception.
void register_image_codecs();

}  // namespace core::graphics::gdip
