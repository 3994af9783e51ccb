#include "core/graphics/gdip/conversion_memory.hpp"

#include <filesystem>

#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/image_source.hpp"
#include "core/graphics/gdip/detail/resample.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/image_format.hpp"

namespace core::graphics::gdip {

namespace {

// Decoders that read the whole image as their first step, sized without a
// header: the HD Photo's samples as they arrive and their 8-bit copy, a BMP's
// 16-bit samples in ImageMagick and the imaging library's copy of them.
std::uint64_t whole_file_decoding(const std::string& path, image_format format) {
  return format == image_formats::hd_photo ? 2 * detail::decode_budget
                                           : 4 * std::filesystem::file_size(path);
}

// A byte a pixel bounds a photo at JPEG's quality 95 and any GIF; the other
// formats may take every byte of the pixels.
std::uint64_t encoded_bytes(image_format target, std::uint64_t pixels, std::uint64_t bands) {
  return target == image_formats::jpeg || target == image_formats::gif ? pixels : pixels * bands;
}

}  // namespace

std::optional<conversion_memory> estimate_conversion_memory(const std::string& path,
                                                            std::optional<image_size> box,
                                                            std::uint32_t flags,
                                                            const std::string& target_name) {
  const image_format target =
      image_format_from_extension(std::filesystem::path(target_name).extension().string());
  try {
    const image_format format = detail::file_image_format(path);
    conversion_memory memory;
    std::uint64_t pixels = 0;
    std::uint64_t bands = 4;
    if (format == image_formats::hd_photo || format == image_formats::bmp) {
      memory.working = whole_file_decoding(path, format);
      pixels = memory.working / bands;  // the result is no larger than the source
    } else {
      const vips::VImage header = detail::read_image_header(path, format);
      const image_size size{static_cast<std::uint32_t>(header.width()),
                            static_cast<std::uint32_t>(header.height())};
      image_size result = size;
      if (box) {
        const image_resize_plan plan = plan_image_resize(size, *box, flags);
        result = plan.unchanged ? size : plan.result;
      }
      pixels = std::uint64_t{result.width} * result.height;
      bands = header.has_alpha() ? 4 : 3;
      const std::uint64_t whole = detail::whole_decode_bytes_per_pixel(header, format);
      if (whole != 0) {
        memory.working = std::uint64_t{size.width} * size.height * whole;
      } else {
        // Read in strips, after the shrink a JPEG decodes with on its way.
        const int shrink =
            format == image_formats::jpeg && result != size
                ? detail::load_shrink(size.width, size.height, result.width, result.height)
                : 1;
        memory.working =
            size.width / static_cast<std::uint64_t>(shrink) * detail::streamed_bytes_per_column;
      }
    }
    memory.encoded = encoded_bytes(target, pixels, bands);
    if (target == image_formats::gif) {
      memory.working += 4 * pixels;  // the encoder quantises the whole frame
    }
    return memory;
  } catch (const detail::status_failure&) {
    return std::nullopt;
  } catch (const std::filesystem::filesystem_error&) {
    return std::nullopt;
  }
}

}  // namespace core::graphics::gdip
