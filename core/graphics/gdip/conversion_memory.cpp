#include "core/graphics/gdip/conversion_memory.hpp"

#include <filesystem>

#include "core/graphics/gdip/detail/bmp_decoder.hpp"
#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/decoder_memory.hpp"
#include "core/graphics/gdip/detail/gif_layout.hpp"
#include "core/graphics/gdip/detail/image_source.hpp"
#include "core/graphics/gdip/detail/resample.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/image_format.hpp"

namespace core::graphics::gdip {

namespace {

// HD Photo's size only its decoding tells: the largest one admitted, its
// samples as they arrive and their 8-bit copy.
constexpr std::uint64_t hd_photo_decoding = 2 * detail::hd_photo_budget;

// The GIF encoder quantises the whole frame: its copy of the pixels, their
// indices and the quantiser's tables, measured at 14 bytes a pixel on 12 and
// 24 megapixels.
constexpr std::uint64_t gif_bytes_per_pixel = 14;

constexpr std::uint64_t mib = std::uint64_t{1} << 20;

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
    if (format == image_formats::hd_photo) {
      memory.working = hd_photo_decoding;
      pixels = memory.working / bands;  // the result is no larger than the source
    } else {
      std::optional<vips::VImage> header;
      std::optional<detail::gif_layout> gif;
      detail::bmp_header declared;  // a BMP's header, or the sides of any other
      if (format == image_formats::bmp) {
        declared = detail::read_bmp_file_header(path);
      } else if (format == image_formats::gif) {
        gif = detail::read_gif_file_layout(path);
        declared = {gif->width, gif->height, gif->transparency ? 4U : 3U, 0};
      } else {
        header = detail::read_image_header(path, format);
        declared = {static_cast<std::uint64_t>(header->width()),
                    static_cast<std::uint64_t>(header->height()), header->has_alpha() ? 4U : 3U, 0};
      }
      const image_size size{static_cast<std::uint32_t>(declared.width),
                            static_cast<std::uint32_t>(declared.height)};
      image_size result = size;
      if (box) {
        const image_resize_plan plan = plan_image_resize(size, *box, flags);
        result = plan.unchanged ? size : plan.result;
      }
      pixels = std::uint64_t{result.width} * result.height;
      bands = declared.bands;
      // A JPEG decodes shrunk on its way into a smaller box.
      const int shrink =
          format == image_formats::jpeg && result != size
              ? detail::load_shrink(size.width, size.height, result.width, result.height)
              : 1;
      const detail::decoder_memory decoder =
          header ? detail::estimate_decoder_memory({path, {}}, *header, format, shrink)
          : gif  ? detail::gif_file_memory(*gif)
                 : detail::estimate_bmp_decoder_memory(declared);
      memory.working = decoder.bytes + decoder.metadata;
      memory.whole = decoder.whole ? decoder.bytes : 0;
      // Turned upright for a target without orientation: held whole for the turn.
      if (header && !image_format_carries_orientation(target) &&
          vips_image_get_orientation(header->get_image()) > 1) {
        memory.working += pixels * bands;
        memory.whole += pixels * bands;
      }
    }
    memory.encoded = encoded_bytes(target, pixels, bands);
    if (target == image_formats::gif) {
      memory.working += gif_bytes_per_pixel * pixels;
      // HD Photo's size is unknown here: its decoder's own check bounds it.
      if (format != image_formats::hd_photo) {
        memory.whole += gif_bytes_per_pixel * pixels;
      }
    }
    return memory;
  } catch (const detail::status_failure&) {
    return std::nullopt;
  } catch (const std::filesystem::filesystem_error&) {
    return std::nullopt;
  }
}

void check_conversion_memory(const std::string& path, const conversion_memory& memory,
                             std::uint64_t held_beside) {
  const auto refuse = [&](const char* holding, std::uint64_t bytes, std::uint64_t budget) {
    throw gdiplus_exception("Cannot convert the photo '" + path + "'.", status::out_of_memory, 0,
                            "decoding and encoding it hold " +
                                std::to_string((bytes + mib - 1) / mib) + " MiB" + holding +
                                ", over " + std::to_string(budget / mib) + " MiB");
  };
  if (memory.whole > detail::decode_budget) {
    refuse(" of the whole image at once", memory.whole, detail::decode_budget);
  }
  // Streamed conversions are bounded by their strips; a whole image and what
  // is held beside it must fit even when it converts alone.
  if (memory.whole > 0 && memory.whole + held_beside > detail::conversion_budget) {
    refuse(" at once even alone", memory.whole + held_beside, detail::conversion_budget);
  }
}

}  // namespace core::graphics::gdip
