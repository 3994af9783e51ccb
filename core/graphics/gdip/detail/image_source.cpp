#include "core/graphics/gdip/detail/image_source.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <utility>

#include "core/graphics/gdip/detail/bitmap_impl.hpp"
#include "core/graphics/gdip/detail/bmp_decoder.hpp"
#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/hd_photo_decoder.hpp"
#include "core/graphics/gdip/detail/library_error.hpp"
#include "core/graphics/gdip/detail/srgb8.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/gdip/detail/upright.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/io/filesystem/regular_file.hpp"
#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

namespace {

bool starts_with(std::string_view head, std::string_view magic) {
  return head.substr(0, magic.size()) == magic;
}

std::string_view file_head(const std::string& path, std::array<char, 32>& buffer) {
  const scoped_handle file = io::filesystem::open_regular_file(path);
  if (!file) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
      throw status_failure(status::file_not_found);
    }
    throw status_failure(status::win32_error, error);
  }
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
// say) do not, except where decoded_intact says.
vips::VOption* failing_on(VipsFailOn level) {
  return vips::VImage::option()->set("fail_on", level);
}

// Loads stream from top to bottom, which lets the decoders work in strips.
vips::VOption* sequential(VipsFailOn level) {
  return failing_on(level)->set("access", VIPS_ACCESS_SEQUENTIAL);
}

vips::VImage load_file(const std::string& path, image_format format, int shrink,
                       VipsFailOn level = VIPS_FAIL_ON_ERROR) {
  const char* name = path.c_str();
  switch (format) {
    case image_formats::jpeg:
      return vips::VImage::jpegload(name, sequential(level)->set("shrink", shrink));
    case image_formats::png:
      return vips::VImage::pngload(name, sequential(level));
    case image_formats::gif:
      return vips::VImage::gifload(name, sequential(level));
    default:
      return vips::VImage::tiffload(name, sequential(level));
  }
}

struct blob_unref {
  void operator()(VipsBlob* blob) const noexcept { vips_area_unref(VIPS_AREA(blob)); }
};

vips::VImage load_bytes(const std::string& bytes, image_format format, VipsFailOn level) {
  // The blob borrows the bytes; the caller reads the pixels before they go.
  const std::unique_ptr<VipsBlob, blob_unref> blob(
      vips_blob_new(nullptr, bytes.data(), bytes.size()));
  switch (format) {
    case image_formats::jpeg:
      return vips::VImage::jpegload_buffer(blob.get(), failing_on(level));
    case image_formats::png:
      return vips::VImage::pngload_buffer(blob.get(), failing_on(level));
    case image_formats::gif:
      return vips::VImage::gifload_buffer(blob.get(), failing_on(level));
    default:
      return vips::VImage::tiffload_buffer(blob.get(), failing_on(level));
  }
}

// libjpeg's words for warnings that mean picture data was lost: it decodes
// on with grey in its place.
bool loses_picture_data(std::string_view words) {
  for (const std::string_view lost : {"premature end of", "Premature end of", "bad Huffman code",
                                      "bad arithmetic code", "instead of RST"}) {
    if (words.find(lost) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

bool first_row_decodes(const vips::VImage& image) {
  VipsRegion* region = vips_region_new(image.get_image());
  const VipsRect row{0, 0, image.width(), 1};
  const bool decoded = vips_region_prepare(region, &row) == 0;
  g_object_unref(region);
  return decoded;
}

// The image load(level) gives, failing on the warnings that mean a JPEG's
// picture data was lost. libjpeg reports them as warnings alone, and libvips
// passes on only the first warning of a decode and fails on any, so the
// first row is decoded here (a multi-scan file reads all its scans for it,
// and the rows are kept for the reader): when it fails on a warning that
// loses nothing, such as the stray bytes between segments that some cameras
// write, the file is loaded again failing on errors only.
vips::VImage decoded_intact(image_format format,
                            const std::function<vips::VImage(VipsFailOn)>& load) {
  if (format != image_formats::jpeg) {
    return load(VIPS_FAIL_ON_ERROR);
  }
  vips::VImage image = load(VIPS_FAIL_ON_WARNING);
  if (first_row_decodes(image)) {
    return image;
  }
  // The buffer is the whole process's: a photo starting on another worker
  // may have emptied it since. Words gone count as data lost.
  const std::string words = vips_error_buffer();
  if (words.empty()) {
    throw vips::VError("cannot decode the photo whole");
  }
  if (loses_picture_data(words)) {
    throw vips::VError(words);
  }
  vips_error_clear();
  return load(VIPS_FAIL_ON_ERROR);
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

std::uint64_t file_size(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

// The loaders read only the header until the pixels are asked for.
void check_header(const encoded_image& image, const vips::VImage& header, image_format format,
                  std::uint64_t size) {
  check_decoder_memory(static_cast<std::uint64_t>(header.width()),
                       static_cast<std::uint64_t>(header.height()),
                       estimate_decoder_memory(image, header, format, 1), size);
}

std::uint32_t little_endian(std::string_view bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

}  // namespace

// ImageMagick decodes a BMP whole while it reads the header, so the size is
// checked here first: the info header's width and height (negative for rows
// stored top down), or the old core header's 16-bit ones.
bmp_header read_bmp_header(std::string_view head) {
  constexpr std::size_t core_header_end = 26, info_header_end = 30;
  if (head.size() < core_header_end) {
    throw status_failure(status::generic_error, "the file ends in its header");
  }
  bmp_header header;
  if (little_endian(head, 14, 4) == 12) {
    header = {little_endian(head, 18, 2), little_endian(head, 20, 2), 3,
              little_endian(head, 24, 2)};
  } else {
    if (head.size() < info_header_end) {
      throw status_failure(status::generic_error, "the file ends in its header");
    }
    const auto side = [&](std::size_t at) {
      const auto value = static_cast<std::int32_t>(little_endian(head, at, 4));
      return static_cast<std::uint64_t>(std::abs(std::int64_t{value}));
    };
    const std::uint32_t bits = little_endian(head, 28, 2);
    header = {side(18), side(22), bits == 32 ? 4U : 3U, bits};
  }
  check_decode_budget(header.width, header.height, header.bands);
  return header;
}

std::uint64_t bmp_decoder_bytes(const bmp_header& header) {
  // The decoded copy, and what ImageMagick holds in memory before it sends
  // its cache and the stored pixels to files.
  return header.width * header.height * header.bands + 2 * bmp_decoder_heap;
}

namespace {

// The file's image, its claimed size checked before anything is decoded: on
// each load, as the file may have been replaced since the last one.
vips::VImage load_checked_file(const std::string& path, image_format format, int shrink,
                               VipsFailOn level = VIPS_FAIL_ON_ERROR) {
  vips::VImage image = load_file(path, format, shrink, level);
  check_header({path, {}}, image, format, file_size(path));
  return image;
}

// The image's pixels for a reader on this thread, its failures naming the file.
vips::VImage file_pixels(const std::string& path, image_format format, int shrink) {
  note_decoded_file(path);
  return to_srgb8(decoded_intact(
      format, [&](VipsFailOn level) { return load_checked_file(path, format, shrink, level); }));
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

vips::VImage read_image_header(const std::string& path, image_format format) {
  try {
    return load_file(path, format, 1);
  } catch (const vips::VError& e) {
    throw status_failure(status::generic_error, library_error_words(e));
  }
}

bmp_header read_bmp_file_header(const std::string& path) {
  std::array<char, 32> head;
  return read_bmp_header(file_head(path, head));
}

std::shared_ptr<bitmap> open_image_file(const std::string& path, bool apply_orientation) {
  start_decoding();
  const image_format format = file_image_format(path);
  try {
    if (format == image_formats::hd_photo) {
      return make_memory_bitmap(to_srgb8(decode_hd_photo_file(path)).copy_memory());
    }
    if (format == image_formats::bmp) {
      read_bmp_file_header(path);
      return make_memory_bitmap(decode_bmp_file(path));
    }
    const vips::VImage header = load_checked_file(path, format, 1);
    auto state = std::make_unique<bitmap::impl>();
    state->width = static_cast<std::uint32_t>(header.width());
    state->height = static_cast<std::uint32_t>(header.height());
    state->pixels = [path, format](int shrink) { return file_pixels(path, format, shrink); };
    state->shrinks_on_load = format == image_formats::jpeg;
    if (apply_orientation) {
      state->orientation = vips_image_get_orientation(header.get_image());
      if (turns_sideways(state->orientation)) {
        std::swap(state->width, state->height);
      }
    }
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
      read_bmp_header(bytes);
      return make_memory_bitmap(decode_bmp(bytes));
    }
    const vips::VImage decoded = decoded_intact(format, [&](VipsFailOn level) {
      vips::VImage header = load_bytes(bytes, format, level);
      // Held whole once converted, whatever the loader holds meanwhile.
      check_decode_budget(static_cast<std::uint64_t>(header.width()),
                          static_cast<std::uint64_t>(header.height()), header.has_alpha() ? 4 : 3);
      check_header({{}, bytes}, header, format, bytes.size());
      return header;
    });
    return make_memory_bitmap(to_srgb8(decoded).copy_memory());
  } catch (const vips::VError& e) {
    throw status_failure(status::generic_error, library_error_words(e));
  }
}

std::shared_ptr<bitmap> make_memory_bitmap(const vips::VImage& srgb8) {
  auto state = std::make_unique<bitmap::impl>();
  state->width = static_cast<std::uint32_t>(srgb8.width());
  state->height = static_cast<std::uint32_t>(srgb8.height());
  state->pixels = [srgb8](int) { return srgb8; };
  return std::make_shared<bitmap>(std::move(state));
}

}  // namespace core::graphics::gdip::detail
