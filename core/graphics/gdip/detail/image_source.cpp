#include "core/graphics/gdip/detail/image_source.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>

#include "core/graphics/gdip/detail/bitmap_impl.hpp"
#include "core/graphics/gdip/detail/bmp_decoder.hpp"
#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/encoded_input.hpp"
#include "core/graphics/gdip/detail/gif_layout.hpp"
#include "core/graphics/gdip/detail/hd_photo_decoder.hpp"
#include "core/graphics/gdip/detail/jpeg_decoder.hpp"
#include "core/graphics/gdip/detail/library_error.hpp"
#include "core/graphics/gdip/detail/srgb8.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/gdip/detail/stoppable_image.hpp"
#include "core/graphics/gdip/detail/upright.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/graphics/gdip/reading_hook.hpp"
#include "core/io/filesystem/regular_file.hpp"
#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

namespace {

bool starts_with(std::string_view head, std::string_view magic) {
  return head.substr(0, magic.size()) == magic;
}

scoped_handle open_file(const std::string& path) {
  scoped_handle file = io::filesystem::open_regular_file(path);
  if (!file) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
      throw status_failure(status::file_not_found);
    }
    throw status_failure(status::win32_error, error);
  }
  return file;
}

template <std::size_t size>
std::string_view file_head(const std::string& path, std::array<char, size>& buffer) {
  const scoped_handle file = open_file(path);
  ssize_t count = 0;
  do {
    count = ::read(file.get(), buffer.data(), buffer.size());
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    throw status_failure(status::win32_error, errno);
  }
  return {buffer.data(), static_cast<std::size_t>(count)};
}

// A photo cut short or damaged fails rather than turn out grey where its
// data ended; a decoder's warnings alone (bytes left over after the image,
// say) do not. JPEG's verdict is its own decoder's (jpeg_decoder.hpp).
vips::VOption* failing_on_errors() {
  return vips::VImage::option()->set("fail_on", VIPS_FAIL_ON_ERROR);
}

// Loads stream from top to bottom, which lets the decoders work in strips.
vips::VOption* sequential() {
  return failing_on_errors()->set("access", VIPS_ACCESS_SEQUENTIAL);
}

constexpr unsigned char gif_trailer = 0x3B;

struct blob_unref {
  void operator()(VipsBlob* blob) const noexcept { vips_area_unref(VIPS_AREA(blob)); }
};

// The layout of the GIF file, its cost checked before its bytes are read.
gif_layout checked_gif_layout(const encoded_input& file) {
  const gif_layout layout = read_gif_layout(file);
  check_decoder_memory(layout.width, layout.height, gif_file_memory(layout), layout.extent);
  return layout;
}

// The GIF loader maps the file it is given, and a mapping that another
// program cuts short kills this one (SIGBUS) where the loader reads past the
// new end. So a GIF is read into memory, which its loader holds whole anyway:
// up to the end of its first image, the one decoded, once those bytes and the
// frame are known to fit.
vips::VImage load_gif_file(const std::string& path) {
  const encoded_input file(open_file(path));
  const gif_layout layout = checked_gif_layout(file);
  const auto size = static_cast<std::size_t>(layout.extent);  // within the budget
  std::unique_ptr<unsigned char, decltype(&g_free)> bytes(
      static_cast<unsigned char*>(g_try_malloc(size + 1)), g_free);
  if (!bytes) {
    throw status_failure(status::out_of_memory);
  }
  std::size_t read = file.read_at(0, bytes.get(), size);
  if (layout.image_whole && read == size) {
    bytes.get()[read++] = gif_trailer;  // what a GIF ends with, whatever followed its image
  }
  // The loader keeps its own reference to the blob, which frees the bytes.
  const std::unique_ptr<VipsBlob, blob_unref> blob(
      vips_blob_new(reinterpret_cast<VipsCallbackFn>(vips_area_free_cb), bytes.release(), read));
  vips::VImage image = vips::VImage::gifload_buffer(blob.get(), sequential());
  // The frame it makes is the one the layout was judged by.
  if (static_cast<std::uint64_t>(image.width()) != layout.width ||
      static_cast<std::uint64_t>(image.height()) != layout.height) {
    throw status_failure(status::generic_error, "its frame is not the size its blocks declare");
  }
  return image;
}

vips::VImage load_file(const std::string& path, image_format format, int shrink) {
  const char* name = path.c_str();
  switch (format) {
    case image_formats::jpeg:
      return vips::VImage::jpegload(name, sequential()->set("shrink", shrink));
    case image_formats::png:
      return vips::VImage::pngload(name, sequential());
    default:
      return vips::VImage::tiffload(name, sequential());
  }
}

// Sequential too: a load open to random access decodes a large image into a
// file of the library's own in $TMPDIR first, which a kill leaves behind.
vips::VImage load_bytes(const std::string& bytes, image_format format) {
  // The blob borrows the bytes; the caller reads the pixels before they go.
  const std::unique_ptr<VipsBlob, blob_unref> blob(
      vips_blob_new(nullptr, bytes.data(), bytes.size()));
  switch (format) {
    case image_formats::jpeg:
      return vips::VImage::jpegload_buffer(blob.get(), sequential());
    case image_formats::png:
      return vips::VImage::pngload_buffer(blob.get(), sequential());
    case image_formats::gif:
      return vips::VImage::gifload_buffer(blob.get(), sequential());
    default:
      return vips::VImage::tiffload_buffer(blob.get(), sequential());
  }
}

// Once imaging has started, the library's error buffer is emptied of the
// warnings that earlier decodes left there as they went on despite them:
// they are not the words of this photo's failure.
void start_decoding() {
  if (!gdiplus_started()) {
    throw status_failure(status::gdiplus_not_initialized);
  }
  vips_error_clear();
}

// The loaders read only the header until the pixels are asked for.
void check_header(const encoded_image& image, const vips::VImage& header, image_format format) {
  check_decoder_memory(static_cast<std::uint64_t>(header.width()),
                       static_cast<std::uint64_t>(header.height()),
                       estimate_decoder_memory(image, header, format, 1), encoded_size(image));
}

// The file's image, its claimed size checked before anything is decoded: on
// each load, as the file may have been replaced since the last one.
vips::VImage load_checked_file(const std::string& path, image_format format, int shrink) {
  if (format == image_formats::gif) {
    return load_gif_file(path);  // checked before its bytes are read
  }
  vips::VImage image = load_file(path, format, shrink);
  check_header({path, {}}, image, format);
  return image;
}

// The image's pixels for a reader on this thread, its failures naming the file.
vips::VImage file_pixels(const std::string& path, image_format format, int shrink) {
  if (format != image_formats::jpeg) {
    note_decoded_file(path);
    return to_srgb8(load_checked_file(path, format, shrink));
  }
  auto damage = std::make_shared<decoder_damage>();
  note_decoded_file(path, damage);
  // Opened first: a file replaced meanwhile is found out by its header.
  scoped_handle file = open_file(path);
  return to_srgb8(
      decode_jpeg_file(load_checked_file(path, format, shrink), std::move(file), shrink, damage));
}

std::unique_ptr<bitmap::impl> memory_pixels(const vips::VImage& srgb8) {
  auto state = std::make_unique<bitmap::impl>();
  state->width = static_cast<std::uint32_t>(srgb8.width());
  state->height = static_cast<std::uint32_t>(srgb8.height());
  state->pixels = [srgb8](int, const threading::stop_flag& stop) { return stoppable(srgb8, stop); };
  return state;
}

image_format known_format(std::string_view head) {
  const image_format format = sniff_image_format(head);
  if (format == image_formats::none) {
    throw status_failure(status::unknown_image_format);
  }
  return format;
}

}  // namespace

image_format sniff_image_format(std::string_view head) {
  using namespace std::string_view_literals;
  if (starts_with(head, "\xFF\xD8\xFF"sv)) {
    return image_formats::jpeg;
  }
  if (starts_with(head, "\x89PNG\r\n\x1A\n"sv)) {
    return image_formats::png;
  }
  if (starts_with(head, "GIF87a"sv) || starts_with(head, "GIF89a"sv)) {
    return image_formats::gif;
  }
  if (starts_with(head, "II*\0"sv) || starts_with(head, "MM\0*"sv) ||
      starts_with(head, "II+\0"sv) || starts_with(head, "MM\0+"sv)) {
    return image_formats::tiff;
  }
  if (starts_with(head, "II\xBC\x01"sv) || starts_with(head, "II\xBC\x00"sv)) {
    return image_formats::hd_photo;
  }
  if (starts_with(head, "BM"sv)) {
    return image_formats::bmp;
  }
  return image_formats::none;
}

image_format file_image_format(const std::string& path) {
  std::array<char, 32> head;
  return known_format(file_head(path, head));
}

gif_layout read_gif_file_layout(const std::string& path) {
  return read_gif_layout(encoded_input(open_file(path)));
}

vips::VImage read_image_header(const std::string& path, image_format format) {
  try {
    return load_file(path, format, 1);
  } catch (const vips::VError& e) {
    throw status_failure(status::generic_error, library_error_words(e));
  }
}

bmp_header read_bmp_file_header(const std::string& path) {
  std::array<char, bmp_headers_size> head;
  return read_bmp_header(file_head(path, head));
}

std::shared_ptr<bitmap> open_image_file(const std::string& path, bool apply_orientation,
                                        const threading::stop_flag& stop) {
  start_decoding();
  const image_format format = file_image_format(path);
  try {
    std::unique_ptr<bitmap::impl> state;
    if (format == image_formats::hd_photo) {
      state =
          memory_pixels(stoppable(to_srgb8(decode_hd_photo_file(path, stop)), stop).copy_memory());
    } else if (format == image_formats::bmp) {
      state = memory_pixels(decode_bmp_file(open_file(path)));
    } else {
      state = std::make_unique<bitmap::impl>();
      std::optional<vips::VImage> header;
      if (format == image_formats::gif) {
        // Its bytes are read once, when its pixels are.
        const gif_layout layout = checked_gif_layout(encoded_input(open_file(path)));
        state->width = static_cast<std::uint32_t>(layout.width);
        state->height = static_cast<std::uint32_t>(layout.height);
      } else {
        header = load_checked_file(path, format, 1);
        state->width = static_cast<std::uint32_t>(header->width());
        state->height = static_cast<std::uint32_t>(header->height());
      }
      state->pixels = [path, format](int shrink, const threading::stop_flag& reader_stop) {
        return stoppable(file_pixels(path, format, shrink), reader_stop);
      };
      state->shrinks_on_load = format == image_formats::jpeg;
      if (apply_orientation && header) {
        state->orientation = vips_image_get_orientation(header->get_image());
        if (turns_sideways(state->orientation)) {
          std::swap(state->width, state->height);
        }
      }
    }
    state->pixels = [path, pixels = std::move(state->pixels)](
                        int shrink, const threading::stop_flag& reader_stop) {
      vips::VImage opened = pixels(shrink, reader_stop);
      call_reading_hook(path);
      return opened;
    };
    return std::make_shared<bitmap>(std::move(state));
  } catch (const vips::VError& e) {
    throw status_failure(status::generic_error, library_error_words(e));
  }
}

std::shared_ptr<bitmap> decode_image(const std::string& bytes) {
  start_decoding();
  const image_format format = known_format(bytes);
  try {
    if (format == image_formats::hd_photo) {
      return make_memory_bitmap(to_srgb8(decode_hd_photo(bytes)).copy_memory());
    }
    if (format == image_formats::bmp) {
      return make_memory_bitmap(decode_bmp(bytes));
    }
    const vips::VImage header = load_bytes(bytes, format);
    // Held whole once converted, whatever the loader holds meanwhile.
    check_decode_budget(static_cast<std::uint64_t>(header.width()),
                        static_cast<std::uint64_t>(header.height()), header.has_alpha() ? 4 : 3);
    check_header({{}, bytes}, header, format);
    vips::VImage decoded = header;
    if (format == image_formats::jpeg) {
      auto damage = std::make_shared<decoder_damage>();
      note_decoded_file({}, damage);
      decoded = decode_jpeg_bytes(header, bytes, damage);
    }
    return make_memory_bitmap(to_srgb8(decoded).copy_memory());
  } catch (const vips::VError& e) {
    throw status_failure(status::generic_error, library_error_words(e));
  }
}

std::shared_ptr<bitmap> make_memory_bitmap(const vips::VImage& srgb8) {
  return std::make_shared<bitmap>(memory_pixels(srgb8));
}

}  // namespace core::graphics::gdip::detail
