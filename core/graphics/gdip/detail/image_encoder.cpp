#include "core/graphics/gdip/detail/image_encoder.hpp"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <exception>
#include <string>

#include "core/graphics/gdip/detail/bmp_writer.hpp"
#include "core/log/logger.hpp"

namespace core::graphics::gdip::detail {

namespace {

// The output and where the encoder's bytes begin in it.
struct stream_output {
  std::ostream& out;
  std::streamoff start;
};

gint64 write_to(VipsTargetCustom*, const void* data, gint64 length, stream_output* output) {
  try {
    output->out.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
    return output->out.good() ? length : -1;
  } catch (const std::exception&) {  // not through the library's C
    return -1;
  }
}

// TIFF's encoder seeks back over what it wrote to link its directory, and
// past its end to align it: the gap is written as zeros.
gint64 seek_to(VipsTargetCustom*, gint64 offset, int whence, stream_output* output) {
  std::ostream& out = output->out;
  try {
    const std::streamoff here = out.tellp();
    const std::streamoff end = out.seekp(0, std::ios_base::end).tellp();
    const std::streamoff target = offset + (whence == SEEK_SET   ? output->start
                                            : whence == SEEK_CUR ? here
                                                                 : end);
    if (!out || target < output->start) {
      return -1;
    }
    if (target > end) {
      const std::string zeros(static_cast<std::size_t>(target - end), '\0');
      out.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    } else {
      out.seekp(target);
    }
    return out.good() ? target - output->start : -1;
  } catch (const std::exception&) {
    return -1;
  }
}

// A target that hands the encoder's bytes to the output as they come, so
// that a large image is never held twice on its way.
vips::VTarget stream_target(stream_output& output) {
  VipsTargetCustom* target = vips_target_custom_new();
  g_signal_connect(target, "write", G_CALLBACK(write_to), &output);
  g_signal_connect(target, "seek", G_CALLBACK(seek_to), &output);
  return vips::VTarget(VIPS_TARGET(target));  // steals the reference
}

[[noreturn]] void png_refuses(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void png_warns(png_structp, png_const_charp) {}

// Whether libpng, which the PNG encoder hands the profile to, takes it: it
// refuses some (one whose illuminant is not D50, as Display P3 and Rec. 2020
// profiles often have), which the encoder then drops with a warning alone.
bool png_takes_profile(const void* profile, std::size_t length) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_refuses, png_warns);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool taken = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_set_iCCP(png, info, "icc", PNG_COMPRESSION_TYPE_BASE, static_cast<png_const_bytep>(profile),
                 static_cast<png_uint_32>(length));
    taken = png_get_valid(png, info, PNG_INFO_iCCP) != 0;
  }
  png_destroy_write_struct(&png, &info);
  return taken;
}

bool carries_profile(const vips::VImage& image, encoder_clsid encoder) {
  switch (encoder) {
    case encoder_clsid::jpeg:
    case encoder_clsid::tiff:
      return true;
    case encoder_clsid::png: {
      std::size_t length = 0;
      const void* profile = image.get_blob(VIPS_META_ICC_NAME, &length);
      return png_takes_profile(profile, length);
    }
    default:  // GIF, and BMP as we write it
      return false;
  }
}

// The image as the encoder can show it: pixels described by a profile the
// format cannot carry are converted to sRGB, so that their colours stay right.
vips::VImage shown_without_lost_profile(const vips::VImage& srgb8, encoder_clsid encoder) {
  if (srgb8.get_typeof(VIPS_META_ICC_NAME) == 0 || carries_profile(srgb8, encoder)) {
    return srgb8;
  }
  core::log::write(core::log::severity::warning,
                   "the photo's colour profile cannot be saved in its target format: its "
                   "colours are converted to sRGB");
  return srgb8.icc_transform("srgb", vips::VImage::option()->set("embedded", true));
}

}  // namespace

void encode_image(std::ostream& out, const vips::VImage& pixels, encoder_clsid encoder,
                  std::optional<int> jpeg_quality, const threading::stop_flag& stop) {
  const vips::VImage srgb8 = shown_without_lost_profile(pixels, encoder);
  if (encoder == encoder_clsid::bmp) {
    write_bmp(out, srgb8, stop);
    return;
  }
  stream_output output{out, out.tellp()};
  const vips::VTarget target = stream_target(output);
  switch (encoder) {
    case encoder_clsid::jpeg: {
      const vips::VImage opaque =
          srgb8.bands() == 4 ? srgb8.extract_band(0, vips::VImage::option()->set("n", 3)) : srgb8;
      vips::VOption* options = vips::VImage::option();
      if (jpeg_quality) {
        options->set("Q", std::clamp(*jpeg_quality, 1, 100));
      }
      opaque.jpegsave_target(target, options);
      break;
    }
    case encoder_clsid::png:
      srgb8.pngsave_target(target);
      break;
    case encoder_clsid::gif:
      srgb8.gifsave_target(target);
      break;
    default:  // tiff
      srgb8.tiffsave_target(
          target, vips::VImage::option()->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_LZW));
  }
}

}  // namespace core::graphics::gdip::detail
