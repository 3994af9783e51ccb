#pragma once

#include <cstdint>

#include "core/graphics/gdip/batch/gdiplus_image_unit.hpp"
#include "core/graphics/image_modes.hpp"

namespace core::graphics::gdip::batch {

// Resizes its predecessor's bitmap to the size plan_image_resize gives for
// the stored size (EXIF orientation is not applied; it travels on as
// metadata). Palette, grey, CMYK and 16-bit sources are resampled as 8-bit
// sRGB, with alpha when they have it. A JPEG is scaled down while decoding
// where that leaves the result as good as a full decode.
class gdiplus_image_resize : public gdiplus_image_unit {
 public:
  // The archive job passes interpolation bicubic and flags fit_size |
  // no_enlarge | match_orientation; thumbnails a 160 x 160 box, bicubic,
  // fit_size | no_enlarge.
  gdiplus_image_resize(gdiplus_image_unit* predecessor, std::uint32_t width, std::uint32_t height,
                       image_interpolation_mode interpolation, std::uint32_t flags);

  // When the size stays (see plan_image_resize) the bitmap is the
  // predecessor's own object. Throws std::runtime_error "Invalid image." when
  // the predecessor has none, gdiplus_exception "Cannot convert
  // 'image_interpolation_mode': <value> into the 'Gdiplus::InterpolationMode'."
  // for an unknown interpolation when the size changes.
  void execute() override;
  std::shared_ptr<bitmap>& image() override { return bitmap_; }

  // The box, turned by match_orientation once execute() has run.
  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  // The size of the result; the requested box until execute() has run.
  std::uint32_t result_width() const { return result_width_; }
  std::uint32_t result_height() const { return result_height_; }

 private:
  std::uint32_t width_;
  std::uint32_t height_;
  std::uint32_t result_width_;
  std::uint32_t result_height_;
  image_interpolation_mode interpolation_;
  std::uint32_t flags_;
  std::shared_ptr<bitmap> bitmap_;
};

}  // namespace core::graphics::gdip::batch
