#include "core/graphics/gdip/detail/hd_photo_decoder.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/hd_photo_wire.hpp"
#include "core/graphics/gdip/detail/helper_process.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/gdip/hd_photo_decoder_program.hpp"
#include "core/io/filesystem/regular_file.hpp"
#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

namespace {

namespace wire = hd_photo_wire;

// Generous for the largest image the budget admits; the helper also stops
// itself after a minute of processor time.
constexpr std::chrono::milliseconds decode_time_limit = std::chrono::minutes(2);

// How the samples of each wire layout become an image, by layout.
struct sample_layout {
  int stored_bands;  // samples a pixel occupies
  int bands;         // samples that carry colour or alpha
  VipsBandFormat sample;
  VipsInterpretation space;
  bool bgr;
  bool premultiplied;
};

constexpr sample_layout sample_layouts[] = {
    {3, 3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, false, false},     // rgb24
    {3, 3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, false},      // bgr24
    {4, 3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, false},      // bgr32
    {4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, false},      // bgra32
    {4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, false, false},     // rgba32
    {4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, true, true},       // pbgra32
    {4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, false, true},      // prgba32
    {1, 1, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_B_W, false, false},      // gray8
    {1, 1, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_GREY16, false, false},  // gray16
    {3, 3, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_RGB16, false, false},   // rgb48
    {4, 4, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_RGB16, false, false},   // rgba64
    {4, 4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_CMYK, false, false},     // cmyk32
    {4, 4, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_CMYK, false, false},    // cmyk64
};
static_assert(std::size(sample_layouts) == static_cast<std::size_t>(wire::layout::count));

[[noreturn]] void damaged() {
  throw status_failure(status::generic_error);
}

vips::VImage to_rgb_order(const vips::VImage& image) {
  std::vector<vips::VImage> bands{image[2], image[1], image[0]};
  if (image.bands() == 4) {
    bands.push_back(image[3]);
  }
  return vips::VImage::bandjoin(bands);
}

// The helper's record, checked as untrusted: it ran on hostile bytes.
const sample_layout& checked_layout(const wire::header& header) {
  if (header.pixels >= wire::layout::count || header.width == 0 || header.height == 0 ||
      header.width > std::numeric_limits<int>::max() ||
      header.height > std::numeric_limits<int>::max()) {
    damaged();
  }
  // The samples as they arrive, before any conversion: up to 8 bytes a pixel.
  check_decode_budget(header.width, header.height, wire::stored_bytes(header.pixels),
                      hd_photo_budget);
  return sample_layouts[static_cast<std::size_t>(header.pixels)];
}

vips::VImage image_from_samples(const wire::header& header, const sample_layout& layout,
                                void* samples, std::size_t size) {
  vips::VImage image = vips::VImage::new_from_memory_steal(
      samples, size, static_cast<int>(header.width), static_cast<int>(header.height),
      layout.stored_bands, layout.sample);
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
                        ->set("xres", header.dpi_x > 0 ? header.dpi_x / mm_per_inch : 1.0)
                        ->set("yres", header.dpi_y > 0 ? header.dpi_y / mm_per_inch : 1.0));
}

vips::VImage decode_from(int input, const threading::stop_flag& stop) {
  helper_process helper(hd_photo_decoder_program(), input, decode_time_limit, stop);
  wire::header header{};
  if (!helper.read(&header, sizeof header)) {
    damaged();
  }
  const sample_layout& layout = checked_layout(header);
  const std::size_t size =
      std::size_t{header.width} * header.height * wire::stored_bytes(header.pixels);
  // Freed by the image once it holds them.
  void* samples = g_try_malloc(size);
  if (samples == nullptr) {
    throw status_failure(status::out_of_memory);
  }
  if (!helper.read(samples, size) || !helper.succeeded()) {
    g_free(samples);
    damaged();
  }
  return image_from_samples(header, layout, samples, size);
}

}  // namespace

vips::VImage decode_hd_photo_file(const std::string& path, const threading::stop_flag& stop) {
  const scoped_handle file = io::filesystem::open_regular_file(path);
  if (!file) {
    throw status_failure(status::win32_error, errno);
  }
  return decode_from(file.get(), stop);
}

vips::VImage decode_hd_photo(const std::string& bytes) {
  const scoped_handle memory(::memfd_create("hd-photo", MFD_CLOEXEC));
  if (!memory) {
    throw status_failure(status::win32_error);
  }
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t count = ::write(memory.get(), data, left);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      throw status_failure(status::win32_error);
    }
    data += count;
    left -= static_cast<std::size_t>(count);
  }
  if (::lseek(memory.get(), 0, SEEK_SET) != 0) {
    throw status_failure(status::win32_error);
  }
  return decode_from(memory.get(), threading::never_stopped);
}

}  // namespace core::graphics::gdip::detail
