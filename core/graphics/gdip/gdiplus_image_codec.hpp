#pragma once

#include <string>

#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/graphics/image_codec.hpp"

namespace core::graphics::gdip {

// The image codec over the imaging library, which it keeps started while it
// lives. Pixels go in as packed rows of the header's format and come out of
// decode, transform and resize as 32-bit ARGB (bytes B, G, R, A). Any thread
// once constructed; each call works on its own buffers.
class gdiplus_image_codec : public image_codec {
 public:
  std::string name() const override { return "GDI+ Image Codec"; }

  // BMP unless params name an "extension" whose format has an encoder; no
  // encoder parameters. Throws graphics_exception "Cannot encode the image
  // stream. Make sure that the provided stream is valid." for a failed
  // stream, gdiplus_exception "Cannnot save the GDI+ bitmap to the IStream."
  // when encoding fails.
  void encode(std::shared_ptr<std::iostream>& out, std::istream& pixels,
              const std::shared_ptr<image_data>& header, const key_value_params& params) override;

  // The first frame of a BMP, GIF, JPEG, PNG, TIFF or HD Photo file. Throws
  // graphics_exception "Cannot decode the image stream. Make sure that the
  // provided stream is valid." for a failed stream, gdiplus_exception
  // "Cannot load a GDI+ bitmap from the IStream." for an undecodable image.
  void decode(decoded_image& out, std::istream& encoded) override;

  // Modes 0 to 3 rotate clockwise, 8 mirrors left to right, 16 top to bottom;
  // others throw gdiplus_exception "Cannot convert 'image_transform_mode':
  // <mode> into the 'Gdiplus::RotateFlipType'.".
  void transform(raster_image& image, image_transform_mode mode) override;

  // Always resamples, also to the same size; keeps no resolution.
  void resize(raster_image& image, std::uint32_t width, std::uint32_t height,
              image_interpolation_mode interpolation) override;

 private:
  gdiplus_startup startup_;
};

}  // namespace core::graphics::gdip
