#include "core/graphics/gdip/detail/image_encoder.hpp"

#include <algorithm>
#include <memory>

#include "core/graphics/gdip/detail/bmp_writer.hpp"

namespace core::graphics::gdip::detail {

namespace {

struct blob_unref {
  void operator()(VipsBlob* blob) const noexcept { vips_area_unref(VIPS_AREA(blob)); }
};
using blob_ptr = std::unique_ptr<VipsBlob, blob_unref>;

blob_ptr save(const vips::VImage& srgb8, encoder_clsid encoder, std::optional<int> jpeg_quality) {
  switch (encoder) {
    case encoder_clsid::jpeg: {
      const vips::VImage opaque =
          srgb8.bands() == 4 ? srgb8.extract_band(0, vips::VImage::option()->set("n", 3)) : srgb8;
      vips::VOption* options = vips::VImage::option();
      if (jpeg_quality) {
        options->set("Q", std::clamp(*jpeg_quality, 1, 100));
      }
      return blob_ptr(opaque.jpegsave_buffer(options));
    }
    case encoder_clsid::png:
      return blob_ptr(srgb8.pngsave_buffer());
    case encoder_clsid::gif:
      return blob_ptr(srgb8.gifsave_buffer());
    default:  // tiff
      return blob_ptr(srgb8.tiffsave_buffer(
          vips::VImage::option()->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_LZW)));
  }
}

}  // namespace

void encode_image(std::ostream& out, const vips::VImage& srgb8, encoder_clsid encoder,
                  std::optional<int> jpeg_quality) {
  if (encoder == encoder_clsid::bmp) {
    write_bmp(out, srgb8);
    return;
  }
  const blob_ptr encoded = save(srgb8, encoder, jpeg_quality);
  std::size_t size = 0;
  const void* bytes = vips_blob_get(encoded.get(), &size);
  out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

}  // namespace core::graphics::gdip::detail
