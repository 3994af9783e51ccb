#pragma once

#include <vips/vips8>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/graphics/image_format.hpp"

namespace test_support {

// An sRGB photo stand-in: gradients with noise, so encoders work as on photos;
// the band means are about 100, 127 and 60. The noise is new at each call
// unless seeded.
vips::VImage photo_like(int width, int height, std::optional<int> seed = {});

// One flat colour, 8-bit sRGB with the given bands (3, or 4 with alpha).
vips::VImage flat(int width, int height, std::vector<double> colour);

// Writes image to path in format, with libvips (BMP through ImageMagick) or,
// for HD Photo, with jxrlib's JxrEncApp.
void write_image(const vips::VImage& image, const std::string& path,
                 core::graphics::image_format format);

// The image encoded by libvips in the format of suffix (".jpg"; ".bmp"
// through ImageMagick).
std::string encode(const vips::VImage& image, const char* suffix);

// A flat JPEG of 16 x 16 saved with suffix's options (".jpg[interlace]") and
// an EXIF orientation, whose frame header claims width x height: what the
// decoders' memory is judged by, without the pixels.
std::string jpeg_claiming(std::uint16_t width, std::uint16_t height, const char* suffix = ".jpg",
                          int orientation = 1);

// The sRGB image converted into Display P3 and tagged with a profile whose
// illuminant is D65, as some wide-gamut photos are: libpng refuses it.
vips::VImage display_p3_tagged_d65(const vips::VImage& srgb);

// The format whose signature begins bytes, none for any other.
core::graphics::image_format signature_of(const std::string& bytes);

// Decodes a whole encoded image with libvips, copying the bytes first.
vips::VImage decode(const std::string& bytes);

// The mean of each band.
std::vector<double> band_means(const vips::VImage& image);

}  // namespace test_support
