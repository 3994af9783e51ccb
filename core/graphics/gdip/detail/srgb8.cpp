#include "core/graphics/gdip/detail/srgb8.hpp"

namespace core::graphics::gdip::detail {

namespace {

bool is_rgb_space(VipsInterpretation space) {
  return space == VIPS_INTERPRETATION_sRGB || space == VIPS_INTERPRETATION_RGB16 ||
         space == VIPS_INTERPRETATION_scRGB;
}

}  // namespace

vips::VImage to_srgb8(vips::VImage image) {
  VipsInterpretation space = vips_image_guess_interpretation(image.get_image());
  if (space == VIPS_INTERPRETATION_MULTIBAND) {
    // Untagged bands: one or two are grey (with alpha), more are RGB.
    space = image.bands() < 3 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB;
  }
  if (space != VIPS_INTERPRETATION_sRGB) {
    // A CMYK source's own profile converts it; afterwards it no longer applies.
    image = image.colourspace(VIPS_INTERPRETATION_sRGB,
                              vips::VImage::option()->set("source_space", space));
    if (!is_rgb_space(space) && image.get_typeof(VIPS_META_ICC_NAME) != 0) {
      image = image.copy();
      image.remove(VIPS_META_ICC_NAME);
    }
  }
  if (image.bands() > 4) {
    image = image.extract_band(0, vips::VImage::option()->set("n", 4));
  }
  if (image.format() != VIPS_FORMAT_UCHAR) {
    image = image.cast(VIPS_FORMAT_UCHAR);
  }
  return image;
}

vips::VImage with_alpha(const vips::VImage& srgb8) {
  return srgb8.bands() == 4 ? srgb8 : srgb8.bandjoin_const({255});
}

}  // namespace core::graphics::gdip::detail
