#include "tests/support/sample_images.hpp"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <stdexcept>

namespace test_support {

using core::graphics::image_format;
namespace formats = core::graphics::image_formats;

vips::VImage photo_like(int width, int height, std::optional<int> seed) {
  const vips::VImage xy = vips::VImage::xyz(width, height);
  // Band means of about 100, 127 and 60 tell the bands apart.
  const vips::VImage red = xy[0] * (200.0 / width);
  const vips::VImage green = xy[1] * (255.0 / height);
  const vips::VImage blue = vips::VImage::black(width, height) + 60;
  vips::VOption* noise_options = vips::VImage::option()->set("mean", 0.0)->set("sigma", 12.0);
  if (seed) {
    noise_options->set("seed", *seed);
  }
  const vips::VImage noise = vips::VImage::gaussnoise(width, height, noise_options);
  return vips::VImage::bandjoin({red, green, blue})
      .add(noise)
      .cast(VIPS_FORMAT_UCHAR)
      .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
      .copy_memory();
}

vips::VImage flat(int width, int height, std::vector<double> colour) {
  return (vips::VImage::black(width, height) + colour)
      .cast(VIPS_FORMAT_UCHAR)
      .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
      .copy_memory();
}

void write_image(const vips::VImage& image, const std::string& path, image_format format) {
  switch (format) {
    case formats::jpeg:
      image.jpegsave(path.c_str());
      return;
    case formats::png:
      image.pngsave(path.c_str());
      return;
    case formats::gif:
      image.gifsave(path.c_str());
      return;
    case formats::tiff:
      image.tiffsave(path.c_str());
      return;
    case formats::bmp:
      image.magicksave(path.c_str(), vips::VImage::option()->set("format", "BMP"));
      return;
    case formats::hd_photo: {
      const std::string tiff = path + ".source.tif";
      image.tiffsave(tiff.c_str());
      const std::string command =
          "JxrEncApp -i '" + tiff + "' -o '" + path + "' -q 0.9 >/dev/null 2>&1";
      const int result = std::system(command.c_str());
      std::filesystem::remove(tiff);
      if (result != 0) {
        throw std::runtime_error("JxrEncApp failed: " + command);
      }
      return;
    }
    default:
      throw std::invalid_argument("no writer for this format");
  }
}

std::string encode(const vips::VImage& image, const char* suffix) {
  void* buffer = nullptr;
  std::size_t size = 0;
  image.write_to_buffer(suffix, &buffer, &size);
  std::string bytes(static_cast<const char*>(buffer), size);
  g_free(buffer);
  return bytes;
}

std::string jpeg_claiming(std::uint16_t width, std::uint16_t height, const char* suffix,
                          int orientation) {
  vips::VImage image = flat(16, 16, {9, 9, 9}).copy();
  if (orientation != 1) {
    image.set("orientation", orientation);
  }
  std::string bytes = encode(image, suffix);
  std::size_t frame = bytes.find("\xFF\xC0");
  if (frame == std::string::npos) {
    frame = bytes.find("\xFF\xC2");  // progressive
  }
  bytes[frame + 5] = static_cast<char>(height >> 8);
  bytes[frame + 6] = static_cast<char>(height & 0xFF);
  bytes[frame + 7] = static_cast<char>(width >> 8);
  bytes[frame + 8] = static_cast<char>(width & 0xFF);
  return bytes;
}

image_format signature_of(const std::string& bytes) {
  using namespace std::string_literals;
  const auto begins = [&](const std::string& magic) { return bytes.rfind(magic, 0) == 0; };
  if (begins("\xFF\xD8\xFF"s)) {
    return formats::jpeg;
  }
  if (begins("\x89PNG\r\n\x1A\n"s)) {
    return formats::png;
  }
  if (begins("GIF89a"s) || begins("GIF87a"s)) {
    return formats::gif;
  }
  if (begins("II*\0"s) || begins("MM\0*"s)) {
    return formats::tiff;
  }
  if (begins("BM"s)) {
    return formats::bmp;
  }
  return formats::none;
}

vips::VImage decode(const std::string& bytes) {
  return vips::VImage::new_from_buffer(bytes, "").copy_memory();
}

std::vector<double> band_means(const vips::VImage& image) {
  std::vector<double> means;
  for (int band = 0; band < image.bands(); ++band) {
    means.push_back(image[band].avg());
  }
  return means;
}

// s15Fixed16 numbers of the ICC header's illuminant, big-endian.
namespace {

std::string fixed_xyz(std::initializer_list<double> xyz) {
  std::string bytes;
  for (const double value : xyz) {
    const auto fixed = static_cast<std::uint32_t>(std::lround(value * 65536));
    for (const int shift : {24, 16, 8, 0}) {
      bytes += static_cast<char>(fixed >> shift & 0xFF);
    }
  }
  return bytes;
}

}  // namespace

vips::VImage display_p3_tagged_d65(const vips::VImage& srgb) {
  vips::VImage p3 =
      srgb.icc_transform("p3", vips::VImage::option()->set("input_profile", "srgb")).copy();
  std::size_t length = 0;
  const auto* data = static_cast<const char*>(p3.get_blob(VIPS_META_ICC_NAME, &length));
  std::string profile(data, length);
  profile.replace(68, 12, fixed_xyz({0.9505, 1.0, 1.089}));
  profile.replace(84, 16, std::string(16, '\0'));  // its checksum no longer holds
  vips_image_set_blob_copy(p3.get_image(), VIPS_META_ICC_NAME, profile.data(), profile.size());
  return p3;
}

}  // namespace test_support
