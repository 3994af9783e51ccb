#include "core/graphics/gdip/detail/bmp_writer.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::size_t info_header_size = 40;
constexpr std::size_t headers_size = file_header_size + info_header_size;

template <std::size_t N>
void put_le(std::array<char, headers_size>& out, std::size_t at, std::uint64_t value) {
  for (std::size_t i = 0; i < N; ++i) {
    out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

std::uint32_t pixels_per_metre(double pixels_per_mm) {
  return static_cast<std::uint32_t>(std::lround(pixels_per_mm * 1000.0));
}

struct g_free_deleter {
  void operator()(void* block) const noexcept { g_free(block); }
};

}  // namespace

void write_bmp(std::ostream& out, const vips::VImage& srgb8) {
  const std::size_t width = static_cast<std::size_t>(srgb8.width());
  const std::size_t height = static_cast<std::size_t>(srgb8.height());
  const std::size_t bytes_per_pixel = static_cast<std::size_t>(srgb8.bands());
  const std::size_t row_size = width * bytes_per_pixel;
  const std::size_t stride = (row_size + 3) & ~std::size_t{3};
  const std::size_t file_size = headers_size + stride * height;
  if (file_size > std::numeric_limits<std::uint32_t>::max()) {
    throw status_failure(status::value_overflow);
  }

  std::array<char, headers_size> headers{};
  headers[0] = 'B';
  headers[1] = 'M';
  put_le<4>(headers, 2, file_size);
  put_le<4>(headers, 10, headers_size);  // offset of the pixels
  put_le<4>(headers, 14, info_header_size);
  put_le<4>(headers, 18, width);
  put_le<4>(headers, 22, height);  // positive: rows bottom up
  put_le<2>(headers, 26, 1);       // planes
  put_le<2>(headers, 28, 8 * bytes_per_pixel);
  put_le<4>(headers, 34, stride * height);
  put_le<4>(headers, 38, pixels_per_metre(srgb8.xres()));
  put_le<4>(headers, 42, pixels_per_metre(srgb8.yres()));
  out.write(headers.data(), headers.size());

  // Bottom-up rows need the whole image at hand.
  std::size_t size = 0;
  const std::unique_ptr<void, g_free_deleter> block(srgb8.write_to_memory(&size));
  const auto* pixels = static_cast<const std::uint8_t*>(block.get());
  std::vector<char> row(stride, 0);
  for (std::size_t y = height; y-- > 0;) {
    const std::uint8_t* source = pixels + y * row_size;
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t* pixel = source + x * bytes_per_pixel;
      char* target = row.data() + x * bytes_per_pixel;
      target[0] = static_cast<char>(pixel[2]);
      target[1] = static_cast<char>(pixel[1]);
      target[2] = static_cast<char>(pixel[0]);
      if (bytes_per_pixel == 4) {
        target[3] = static_cast<char>(pixel[3]);
      }
    }
    out.write(row.data(), static_cast<std::streamsize>(stride));
  }
}

}  // namespace core::graphics::gdip::detail
