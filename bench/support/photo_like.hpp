#pragma once

#include <vips/vips8>

#include <string>

namespace bench {

// Writes a photo-like JPEG of quality 90: gradients, a light that changes
// with index, and fine noise as a sensor gives. 24 MP make about 6.5 MB.
inline void write_photo_like(const std::string& path, int width, int height, int index) {
  const vips::VImage xy = vips::VImage::xyz(width, height);
  const vips::VImage x = xy[0] * (255.0 / width);
  const vips::VImage y = xy[1] * (255.0 / height);
  const double shift = 40.0 * (index % 5);
  const vips::VImage noise = vips::VImage::gaussnoise(
      width, height, vips::VImage::option()->set("mean", 0.0)->set("sigma", 6.0));
  const vips::VImage photo =
      vips::VImage::bandjoin({x, y + shift / 2, (x + y) / 2 + shift})
          .add(noise)
          .cast(VIPS_FORMAT_UCHAR)
          .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
  photo.jpegsave(path.c_str(), vips::VImage::option()->set("Q", 90));
}

}  // namespace bench
