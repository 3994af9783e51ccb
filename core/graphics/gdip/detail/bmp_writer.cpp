#include "core/graphics/gdip/detail/bmp_writer.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
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

// The rows' place in the output and the strip being turned into them.
struct bmp_rows {
  std::ostream& out;
  std::streamoff bottom_row_at;
  std::size_t height, bytes_per_pixel, stride;
  std::vector<char> strip;
  std::exception_ptr failure;
};

// Writes a strip as it is decoded: its rows, reversed, make one piece of the
// bottom-up file, which ends where the rows above it begin.
int write_strip(VipsRegion* region, VipsRect* area, void* user) {
  auto& rows = *static_cast<bmp_rows*>(user);
  try {
    const auto strip_height = static_cast<std::size_t>(area->height);
    const auto width = static_cast<std::size_t>(area->width);
    rows.strip.assign(rows.stride * strip_height, 0);
    for (std::size_t i = 0; i < strip_height; ++i) {
      const auto* source = reinterpret_cast<const std::uint8_t*>(
          VIPS_REGION_ADDR(region, area->left, area->top + static_cast<int>(i)));
      char* target = rows.strip.data() + (strip_height - 1 - i) * rows.stride;
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t* pixel = source + x * rows.bytes_per_pixel;
        char* out = target + x * rows.bytes_per_pixel;
        out[0] = static_cast<char>(pixel[2]);
        out[1] = static_cast<char>(pixel[1]);
        out[2] = static_cast<char>(pixel[0]);
        if (rows.bytes_per_pixel == 4) {
          out[3] = static_cast<char>(pixel[3]);
        }
      }
    }
    const std::size_t rows_below = rows.height - static_cast<std::size_t>(area->top) - strip_height;
    rows.out.seekp(rows.bottom_row_at + static_cast<std::streamoff>(rows_below * rows.stride));
    rows.out.write(rows.strip.data(), static_cast<std::streamsize>(rows.strip.size()));
    return rows.out ? 0 : -1;
  } catch (...) {
    rows.failure = std::current_exception();
    return -1;
  }
}

}  // namespace

void write_bmp(std::ostream& out, const vips::VImage& srgb8, const threading::stop_flag& stop) {
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
  const std::streamoff start = out.tellp();
  out.write(headers.data(), headers.size());

  // The pixels arrive from the top, the file holds them from the bottom: the
  // whole length is laid out first, so that each strip can take its place;
  // a second for the largest, so a stop is looked for meanwhile.
  const std::vector<char> zeros(std::min<std::size_t>(stride * height, std::size_t{1} << 20), 0);
  for (std::size_t left = stride * height; left > 0 && out;) {
    if (stop) {
      throw status_failure(status::aborted);
    }
    const std::size_t piece = std::min(left, zeros.size());
    out.write(zeros.data(), static_cast<std::streamsize>(piece));
    left -= piece;
  }
  if (!out) {
    return;  // the caller finds the stream failed
  }
  bmp_rows rows{out, start + static_cast<std::streamoff>(headers_size), height, bytes_per_pixel,
                stride, {}, nullptr};
  if (vips_sink_disc(srgb8.get_image(), write_strip, &rows) != 0) {
    if (rows.failure) {
      std::rethrow_exception(rows.failure);
    }
    if (out) {
      throw vips::VError();
    }
  }
  out.seekp(start + static_cast<std::streamoff>(file_size));
}

}  // namespace core::graphics::gdip::detail
