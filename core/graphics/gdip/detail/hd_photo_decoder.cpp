#include "core/graphics/gdip/detail/hd_photo_decoder.hpp"

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include <JXRGlue.h>
// jxrlib defines these as macros, which would break std::numeric_limits.
#undef min
#undef max

#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

namespace {

struct stream_closer {
  void operator()(WMPStream* stream) const noexcept { stream->Close(&stream); }
};
using stream_ptr = std::unique_ptr<WMPStream, stream_closer>;

struct decoder_releaser {
  void operator()(PKImageDecode* decoder) const noexcept { decoder->Release(&decoder); }
};
using decoder_ptr = std::unique_ptr<PKImageDecode, decoder_releaser>;

// How one decoded pixel format lays out its samples.
struct sample_layout {
  const PKPixelFormatGUID* format;
  int stored_bands;  // samples a pixel occupies
  int bands;         // samples that carry colour or alpha
  VipsBandFormat sample;
  VipsInterpretation space;
  bool bgr;
  bool premultiplied;
};

const sample_layout sample_layouts[] = {
    {&GUID_PKPixelFormat24bppRGB, 3, 3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, false, false},
    {&GUID_PKPixelFormat24bppBGR, 3, 3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, false},
    {&GUID_PKPixelFormat32bppBGR, 4, 3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, false},
    {&GUID_PKPixelFormat32bppBGRA, 4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, false},
    {&GUID_PKPixelFormat32bppRGBA, 4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, false, false},
    {&GUID_PKPixelFormat32bppPBGRA, 4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, true},
    {&GUID_PKPixelFormat32bppPRGBA, 4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, false, true},
    {&GUID_PKPixelFormat8bppGray, 1, 1, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_B_W, false, false},
    {&GUID_PKPixelFormat16bppGray, 1, 1, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_GREY16, false,
     false},
    {&GUID_PKPixelFormat48bppRGB, 3, 3, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_RGB16, false,
     false},
    {&GUID_PKPixelFormat64bppRGBA, 4, 4, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_RGB16, false,
     false},
    {&GUID_PKPixelFormat32bppCMYK, 4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_CMYK, false, false},
    {&GUID_PKPixelFormat64bppCMYK, 4, 4, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_CMYK, false,
     false},
};

const sample_layout& layout_of(const PKPixelFormatGUID& format) {
  for (const sample_layout& layout : sample_layouts) {
    if (std::memcmp(layout.format, &format, sizeof format) == 0) {
      return layout;
    }
  }
  throw status_failure(status::not_implemented);
}

void check(ERR result) {
  if (Failed(result)) {
    throw status_failure(status::generic_error);
  }
}

vips::VImage to_rgb_order(const vips::VImage& image) {
  std::vector<vips::VImage> bands{image[2], image[1], image[0]};
  if (image.bands() == 4) {
    bands.push_back(image[3]);
  }
  return vips::VImage::bandjoin(bands);
}

}  // namespace

vips::VImage decode_hd_photo(const void* data, std::size_t size) {
  WMPStream* raw_stream = nullptr;
  // The memory stream only reads the bytes it is given.
  check(CreateWS_Memory(&raw_stream, const_cast<void*>(data), size));
  const stream_ptr stream(raw_stream);

  PKImageDecode* raw_decoder = nullptr;
  check(PKImageDecode_Create_WMP(&raw_decoder));
  const decoder_ptr decoder(raw_decoder);
  check(decoder->Initialize(decoder.get(), stream.get()));

  I32 width = 0;
  I32 height = 0;
  check(decoder->GetSize(decoder.get(), &width, &height));
  PKPixelFormatGUID format;
  check(decoder->GetPixelFormat(decoder.get(), &format));
  Float dpi_x = 0;
  Float dpi_y = 0;
  check(decoder->GetResolution(decoder.get(), &dpi_x, &dpi_y));
  const sample_layout& layout = layout_of(format);

  if (width <= 0 || height <= 0) {
    throw status_failure(status::generic_error);
  }
  const std::size_t stride = static_cast<std::size_t>(width) *
                             static_cast<std::size_t>(layout.stored_bands) *
                             vips_format_sizeof(layout.sample);
  if (stride > std::numeric_limits<U32>::max() ||
      static_cast<std::size_t>(height) > std::numeric_limits<std::size_t>::max() / stride) {
    throw status_failure(status::out_of_memory);
  }
  std::vector<U8> pixels;
  try {
    pixels.resize(stride * static_cast<std::size_t>(height));
  } catch (const std::bad_alloc&) {
    throw status_failure(status::out_of_memory);
  }
  const PKRect whole{0, 0, width, height};
  check(decoder->Copy(decoder.get(), &whole, pixels.data(), static_cast<U32>(stride)));

  VipsImage* copied = vips_image_new_from_memory_copy(pixels.data(), pixels.size(), width, height,
                                                      layout.stored_bands, layout.sample);
  if (copied == nullptr) {
    throw vips::VError();
  }
  vips::VImage image(copied);
  if (layout.stored_bands != layout.bands) {
    image = image.extract_band(0, vips::VImage::option()->set("n", layout.bands));
  }
  if (layout.bgr) {
    image = to_rgb_order(image);
  }
  if (layout.premultiplied) {
    image = image.unpremultiply().cast(layout.sample);
  }
  constexpr double mm_per_inch = 25.4;
  return image.copy(vips::VImage::option()
                        ->set("interpretation", layout.space)
                        ->set("xres", dpi_x > 0 ? dpi_x / mm_per_inch : 1.0)
                        ->set("yres", dpi_y > 0 ? dpi_y / mm_per_inch : 1.0));
}

}  // namespace core::graphics::gdip::detail
