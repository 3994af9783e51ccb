#include "core/graphics/gdip/detail/image_encoder.hpp"

#include <algorithm>

#include "core/graphics/gdip/detail/bmp_writer.hpp"

namespace core::graphics::gdip::detail {

namespace {

gint64 write_to(VipsTargetCustom*, const void* data, gint64 length, std::ostream* out) {
  out->write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
  return out->good() ? length : -1;
}

// A target that hands the encoder's bytes to out as they come, so that a
// large image is never held twice on its way.
vips::VTarget stream_target(std::ostream& out) {
  VipsTargetCustom* target = vips_target_custom_new();
  g_signal_connect(target, "write", G_CALLBACK(write_to), &out);
  return vips::VTarget(VIPS_TARGET(target));  // steals the reference
}

}  // namespace

void encode_image(std::ostream& out, const vips::VImage& srgb8, encoder_clsid encoder,
                  std::optional<int> jpeg_quality) {
  if (encoder == encoder_clsid::bmp) {
    write_bmp(out, srgb8);
    return;
  }
  const vips::VTarget target = stream_target(out);
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
    default: {  // tiff, which seeks back over what it wrote: through memory
      VipsBlob* blob = srgb8.tiffsave_buffer(
          vips::VImage::option()->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_LZW));
      std::size_t size = 0;
      const void* bytes = vips_blob_get(blob, &size);
      out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
      vips_area_unref(VIPS_AREA(blob));
    }
  }
}

}  // namespace core::graphics::gdip::detail
