#include "core/graphics/gdip/detail/resample.hpp"

#include <algorithm>
#include <string>

#include "core/graphics/gdip/gdiplus_exception.hpp"

namespace core::graphics::gdip::detail {

VipsKernel resampling_kernel(image_interpolation_mode interpolation) {
  switch (interpolation) {
    case nearest_neighbor:
      return VIPS_KERNEL_NEAREST;
    case bilinear:
      return VIPS_KERNEL_LINEAR;
    case bicubic:
    case high_quality_bicubic:
      return VIPS_KERNEL_CUBIC;
  }
  throw gdiplus_exception("Cannot convert 'image_interpolation_mode': " +
                              std::to_string(static_cast<std::int32_t>(interpolation)) +
                              " into the 'Gdiplus::InterpolationMode'.",
                          status::ok);
}

int load_shrink(std::uint32_t source_width, std::uint32_t source_height, std::uint32_t width,
                std::uint32_t height) {
  const double factor = std::min(static_cast<double>(source_width) / width,
                                 static_cast<double>(source_height) / height);
  if (factor >= 16) {
    return 8;
  }
  if (factor >= 8) {
    return 4;
  }
  return factor >= 4 ? 2 : 1;
}

vips::VImage resample(const vips::VImage& srgb8, std::uint32_t width, std::uint32_t height,
                      VipsKernel kernel) {
  const double hscale = static_cast<double>(width) / srgb8.width();
  const double vscale = static_cast<double>(height) / srgb8.height();
  const auto options = [&] {
    return vips::VImage::option()->set("vscale", vscale)->set("kernel", kernel);
  };
  if (srgb8.bands() == 4) {
    return srgb8.premultiply().resize(hscale, options()).unpremultiply().cast(VIPS_FORMAT_UCHAR);
  }
  return srgb8.resize(hscale, options());
}

}  // namespace core::graphics::gdip::detail
