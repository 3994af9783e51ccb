#include "core/graphics/gdip/detail/packed_pixels.hpp"

#include <limits>
#include <memory>
#include <new>

#include "core/graphics/gdip/detail/srgb8.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

namespace {

// A 5- or 6-bit sample spread over 0..255, as 8-bit displays show it.
std::uint8_t widen5(unsigned v) {
  return static_cast<std::uint8_t>((v << 3) | (v >> 2));
}
std::uint8_t widen6(unsigned v) {
  return static_cast<std::uint8_t>((v << 2) | (v >> 4));
}

void unpack_pixel(const std::uint8_t* in, pixel_format::pixel_format format, std::uint8_t* out) {
  switch (format) {
    case pixel_format::rgb24:  // B, G, R
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      return;
    case pixel_format::argb32:  // B, G, R, A
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
      return;
    case pixel_format::rgb565: {
      const unsigned word = in[0] | (in[1] << 8);
      out[0] = widen5((word >> 11) & 0x1F);
      out[1] = widen6((word >> 5) & 0x3F);
      out[2] = widen5(word & 0x1F);
      return;
    }
    default: {  // rgb555
      const unsigned word = in[0] | (in[1] << 8);
      out[0] = widen5((word >> 10) & 0x1F);
      out[1] = widen5((word >> 5) & 0x1F);
      out[2] = widen5(word & 0x1F);
      return;
    }
  }
}

struct g_free_deleter {
  void operator()(void* block) const noexcept { g_free(block); }
};

}  // namespace

vips::VImage image_from_packed_pixels(const std::uint8_t* pixels, pixel_format::pixel_format format,
                                      std::uint32_t width, std::uint32_t height) {
  constexpr std::uint32_t max_side = std::numeric_limits<int>::max();
  if (width == 0 || height == 0 || width > max_side || height > max_side) {
    throw status_failure(status::invalid_parameter);
  }
  const int bands = format == pixel_format::argb32 ? 4 : 3;
  const std::size_t in_pixel = pixel_format::bytes_per_pixel(format);
  const std::size_t in_row = in_pixel * width;
  const std::size_t out_row = static_cast<std::size_t>(bands) * width;
  if (height > std::numeric_limits<std::size_t>::max() / out_row) {
    throw status_failure(status::out_of_memory);
  }
  std::vector<std::uint8_t> out;
  try {
    out.resize(out_row * height);
  } catch (const std::bad_alloc&) {
    throw status_failure(status::out_of_memory);
  }
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* in = pixels + y * in_row;
    std::uint8_t* row = out.data() + y * out_row;
    for (std::size_t x = 0; x < width; ++x) {
      unpack_pixel(in + x * in_pixel, format, row + x * static_cast<std::size_t>(bands));
    }
  }
  VipsImage* image =
      vips_image_new_from_memory_copy(out.data(), out.size(), static_cast<int>(width),
                                      static_cast<int>(height), bands, VIPS_FORMAT_UCHAR);
  if (image == nullptr) {
    throw vips::VError();
  }
  return vips::VImage(image).copy(
      vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

std::vector<std::uint8_t> argb_pixels(const vips::VImage& srgb8) {
  const vips::VImage rgba = with_alpha(srgb8);
  const vips::VImage bgra = vips::VImage::bandjoin({rgba[2], rgba[1], rgba[0], rgba[3]});
  std::size_t size = 0;
  const std::unique_ptr<void, g_free_deleter> block(bgra.write_to_memory(&size));
  const auto* bytes = static_cast<const std::uint8_t*>(block.get());
  return {bytes, bytes + size};
}

}  // namespace core::graphics::gdip::detail
