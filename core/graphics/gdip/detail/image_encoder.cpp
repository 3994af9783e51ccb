#include "core/graphics/gdip/detail/image_encoder.hpp"

#include <algorithm>
#include <exception>
#include <string>

#include "core/graphics/gdip/detail/bmp_writer.hpp"

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

}  // namespace

void encode_image(std::ostream& out, const vips::VImage& srgb8, encoder_clsid encoder,
                  std::optional<int> jpeg_quality) {
  if (encoder == encoder_clsid::bmp) {
    write_bmp(out, srgb8);
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
