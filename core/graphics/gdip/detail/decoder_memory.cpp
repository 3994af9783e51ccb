#include "core/graphics/gdip/detail/decoder_memory.hpp"

#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/encoded_input.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/io/filesystem/regular_file.hpp"
#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

// 8-bit samples without alpha take streamed_bytes_per_column; alpha is
// resampled premultiplied in float, and wider samples are converted on the
// way: measured on 40000 and 80000 pixels wide PNGs and TIFFs, with room.
std::uint64_t chain_bytes_per_column(bool alpha, std::uint64_t sample) {
  return streamed_bytes_per_column * (alpha ? 4 : 1) * std::max<std::uint64_t>(1, sample / 2 * 2);
}

namespace {

// A hostile header's product saturates rather than wrap round to a small one.
std::uint64_t product(std::uint64_t a, std::uint64_t b) {
  std::uint64_t result = 0;
  return __builtin_mul_overflow(a, b, &result) ? UINT64_MAX : result;
}

std::uint64_t round_up(std::uint64_t value, std::uint64_t step) {
  return (value + step - 1) / step * step;
}

std::uint64_t chain_bytes_per_column(const vips::VImage& header) {
  return detail::chain_bytes_per_column(
      header.has_alpha(), static_cast<std::uint64_t>(vips_format_sizeof(header.format())));
}

// Reads bytes of the encoded image from any offset.
class image_reader {
 public:
  explicit image_reader(const encoded_image& image) : input_(open(image)) {}

  // Up to size bytes from offset; fewer at the end.
  std::string_view read(std::uint64_t offset, std::size_t size) {
    buffer_.resize(size);
    return {buffer_.data(),
            input_.read_at(offset, reinterpret_cast<unsigned char*>(buffer_.data()), size)};
  }

 private:
  static encoded_input open(const encoded_image& image) {
    if (image.path.empty()) {
      return encoded_input(std::string_view(image.bytes));
    }
    scoped_handle file = io::filesystem::open_regular_file(image.path);
    if (!file) {
      throw status_failure(status::win32_error, errno);
    }
    return encoded_input(std::move(file));
  }

  encoded_input input_;
  std::string buffer_;
};

// Reads the file forward a block at a time: a walk over many small segments,
// or over stray bytes, takes few system calls; a block small enough that
// skipping a segment wastes little of it.
class byte_cursor {
 public:
  explicit byte_cursor(image_reader& reader) : reader_(reader) {}

  // The next byte, or -1 at the end of the file.
  int next() {
    if (at_ == block_.size()) {
      offset_ += block_.size();
      block_ = reader_.read(offset_, 8 * 1024);
      at_ = 0;
      if (block_.empty()) {
        return -1;
      }
    }
    return static_cast<unsigned char>(block_[at_++]);
  }

  // Up to size bytes, copied; fewer at the end.
  std::string take(std::size_t size) {
    std::string bytes;
    while (bytes.size() < size) {
      const int byte = next();
      if (byte < 0) {
        break;
      }
      bytes += static_cast<char>(byte);
    }
    return bytes;
  }

  void skip(std::uint64_t count) {
    const std::uint64_t here = offset_ + at_ + count;
    offset_ = here;
    block_ = {};
    at_ = 0;
  }

 private:
  image_reader& reader_;
  std::string_view block_;
  std::size_t at_ = 0;
  std::uint64_t offset_ = 0;
};

struct jpeg_component {
  std::uint32_t h = 1, v = 1;
};

struct jpeg_frame {
  unsigned char marker = 0;  // SOF0 to SOF15
  std::vector<jpeg_component> components;
};

// What libjpeg meets before the first scan's data.
struct jpeg_header {
  std::optional<jpeg_frame> frame;
  std::size_t first_scan_components = 0;
  // The application segments and comments, which the loader reads into
  // memory along with the image.
  std::uint64_t metadata_bytes = 0;
};

bool is_frame_marker(unsigned char marker) {
  // SOF0 to SOF15, except DHT (C4), JPG (C8) and DAC (CC).
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool has_no_length(unsigned char marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);  // TEM, RST0 to RST7, SOI
}

bool is_metadata_marker(unsigned char marker) {
  return (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;  // APP0 to APP15, COM
}

// The next marker's code as libjpeg finds it: bytes other than FF are
// skipped, fill bytes too, and FF 00 is no marker. -1 at the end.
int next_marker(byte_cursor& cursor) {
  for (;;) {
    int byte = cursor.next();
    while (byte >= 0 && byte != 0xFF) {
      byte = cursor.next();
    }
    while (byte == 0xFF) {
      byte = cursor.next();
    }
    if (byte != 0) {
      return byte;
    }
  }
}

struct jpeg_segment {
  unsigned char marker;
  std::uint64_t body;  // bytes after its length
};

// The next segment with a length, as libjpeg reads them: parameterless
// markers take none. Empty at the end of the image or of the file, or at a
// length too short to be one.
std::optional<jpeg_segment> next_segment(byte_cursor& cursor) {
  for (;;) {
    const int code = next_marker(cursor);
    if (code < 0 || code == 0xD9) {
      return std::nullopt;
    }
    const auto marker = static_cast<unsigned char>(code);
    if (has_no_length(marker)) {
      continue;
    }
    const std::string length = cursor.take(2);
    const std::uint64_t value = length.size() < 2
                                    ? 0
                                    : std::uint64_t{static_cast<unsigned char>(length[0])} << 8 |
                                          static_cast<unsigned char>(length[1]);
    if (value < 2) {
      return std::nullopt;
    }
    return jpeg_segment{marker, value - 2};
  }
}

// The frame header's sampling factors: libvips reports any sampling above 1
// as "4:2:0", which says nothing of what each component takes.
std::optional<jpeg_frame> parse_frame(unsigned char marker, std::string_view segment) {
  if (segment.size() < 6) {
    return std::nullopt;
  }
  const std::size_t count = static_cast<unsigned char>(segment[5]);
  if (count == 0 || segment.size() < 6 + 3 * count) {
    return std::nullopt;
  }
  jpeg_frame frame{marker, {}};
  for (std::size_t i = 0; i < count; ++i) {
    const auto factors = static_cast<unsigned char>(segment[6 + 3 * i + 1]);
    frame.components.push_back({std::max(1U, std::uint32_t{factors} >> 4),
                                std::max(1U, std::uint32_t{factors} & 0xFU)});
  }
  return frame;
}

// Walks the markers as libjpeg reads them, up to the first scan: parameterless
// markers take no length, and stray bytes between segments are passed over.
// The frame stays empty when no sound one comes before a sound first scan.
jpeg_header read_jpeg_header(byte_cursor& cursor) {
  cursor.skip(2);  // SOI
  jpeg_header header;
  for (;;) {
    const std::optional<jpeg_segment> segment = next_segment(cursor);
    if (!segment) {  // the end before any scan
      header.frame.reset();
      return header;
    }
    if (segment->marker == 0xDA) {
      const std::string scan = cursor.take(1);
      header.first_scan_components = scan.empty() ? 0 : static_cast<unsigned char>(scan[0]);
      if (header.first_scan_components == 0) {
        header.frame.reset();
      }
      cursor.skip(std::max<std::uint64_t>(segment->body, 1) - 1);
      return header;
    }
    if (is_frame_marker(segment->marker)) {
      if (header.frame) {  // libjpeg refuses a second frame
        header.frame.reset();
        return header;
      }
      header.frame = parse_frame(segment->marker, cursor.take(segment->body));
      if (!header.frame) {
        return header;
      }
      continue;
    }
    if (is_metadata_marker(segment->marker)) {
      header.metadata_bytes += segment->body;
    }
    cursor.skip(segment->body);
  }
}

// The metadata segments from the cursor to the end of the image: between the
// scans of a frame held whole, libjpeg reads and keeps them as it decodes.
std::uint64_t metadata_bytes_after(byte_cursor& cursor) {
  std::uint64_t bytes = 0;
  while (const std::optional<jpeg_segment> segment = next_segment(cursor)) {
    if (is_metadata_marker(segment->marker)) {
      bytes += segment->body;
    }
    cursor.skip(segment->body);
  }
  return bytes;
}

// libjpeg's coefficient arrays of a frame held whole: each component's
// blocks at its own sampling, padded to whole MCUs, 64 coefficients of 2 bytes.
std::uint64_t coefficient_bytes(const jpeg_frame& frame, std::uint64_t width,
                                std::uint64_t height) {
  std::uint32_t h_max = 1, v_max = 1;
  for (const jpeg_component& c : frame.components) {
    h_max = std::max(h_max, c.h);
    v_max = std::max(v_max, c.v);
  }
  std::uint64_t bytes = 0;
  for (const jpeg_component& c : frame.components) {
    const std::uint64_t blocks_across = round_up((width * c.h + 8 * h_max - 1) / (8 * h_max), c.h);
    const std::uint64_t blocks_down = round_up((height * c.v + 8 * v_max - 1) / (8 * v_max), c.v);
    bytes += blocks_across * blocks_down * 64 * 2;
  }
  return bytes;
}

bool flag(const vips::VImage& header, const char* name) {
  return header.get_typeof(name) != 0 && header.get_int(name) != 0;
}

// A JPEG streams when its frame is sequential, Huffman or arithmetic (SOF0,
// SOF1, SOF9), and its first scan holds every component: libjpeg keeps every
// coefficient of any other until the last scan. The loader must agree that
// it has a single scan.
bool jpeg_streams(const jpeg_header& jpeg, const vips::VImage& header) {
  if (!jpeg.frame || flag(header, "interlaced")) {
    return false;
  }
  const unsigned char marker = jpeg.frame->marker;
  return (marker == 0xC0 || marker == 0xC1 || marker == 0xC9) &&
         jpeg.first_scan_components == jpeg.frame->components.size();
}

decoder_memory jpeg_memory(image_reader& reader, const vips::VImage& header, int shrink) {
  const auto width = static_cast<std::uint64_t>(header.width());
  const auto height = static_cast<std::uint64_t>(header.height());
  byte_cursor cursor(reader);
  const jpeg_header jpeg = read_jpeg_header(cursor);
  if (!jpeg_streams(jpeg, header)) {
    const std::uint64_t metadata =
        product(jpeg.metadata_bytes + metadata_bytes_after(cursor), metadata_copies);
    // Unknown sampling counts as none: a full-size plane for each band.
    const std::uint64_t bytes =
        jpeg.frame ? coefficient_bytes(*jpeg.frame, width, height)
                   : width * height * 2 * static_cast<std::uint64_t>(header.bands());
    return {true, bytes, metadata};
  }
  // Past its one scan nothing more is kept.
  return {false,
          width / static_cast<std::uint64_t>(std::max(1, shrink)) * chain_bytes_per_column(header),
          product(jpeg.metadata_bytes, metadata_copies)};
}

struct tiff_layout {
  bool tiled = false;
  // Rows of one strip, or of one row of tiles.
  std::uint32_t rows = 0;
  std::uint32_t tile_width = 0;
  // Bytes of a pixel as the loader unpacks it: samples below 8 bits take a byte.
  std::uint64_t pixel_bytes = 0;
  // The loader reads strips of over 128 rows a row at a time, unless their
  // planes are separate or their chroma subsampled (YCbCr).
  bool scanlinewise = false;
  // The largest strip as stored, compressed or not.
  std::uint64_t largest_strip = 0;
};

// libvips reads a strip a row at a time once it is taller than this.
constexpr std::uint32_t most_rows_read_whole = 128;

int silent_handler(TIFF*, void*, const char*, const char*, va_list) {
  return 1;  // reported: libtiff prints nothing
}

struct tiff_close {
  void operator()(TIFF* tiff) const noexcept { TIFFClose(tiff); }
};

struct memory_file {
  std::string_view bytes;
  toff_t at = 0;
};

tmsize_t memory_read(thandle_t handle, void* buffer, tmsize_t size) {
  auto* file = static_cast<memory_file*>(handle);
  const std::string_view piece = file->at < file->bytes.size()
                                     ? file->bytes.substr(file->at, static_cast<std::size_t>(size))
                                     : std::string_view();
  std::copy(piece.begin(), piece.end(), static_cast<char*>(buffer));
  file->at += piece.size();
  return static_cast<tmsize_t>(piece.size());
}

tmsize_t memory_write(thandle_t, void*, tmsize_t) {
  return -1;
}

toff_t memory_seek(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<memory_file*>(handle);
  const toff_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? file->bytes.size() : 0;
  file->at = base + offset;
  return file->at;
}

int memory_close(thandle_t) {
  return 0;
}

toff_t memory_size(thandle_t handle) {
  return static_cast<memory_file*>(handle)->bytes.size();
}

std::optional<tiff_layout> read_tiff_layout(const encoded_image& image) {
  const std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)> options(
      TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), silent_handler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), silent_handler, nullptr);
  memory_file memory{image.bytes};
  // "m": no mapping, which would hold the whole file.
  const std::unique_ptr<TIFF, tiff_close> tiff(
      image.path.empty()
          ? TIFFClientOpenExt("image", "rm", &memory, memory_read, memory_write, memory_seek,
                              memory_close, memory_size, nullptr, nullptr, options.get())
          : TIFFOpenExt(image.path.c_str(), "rm", options.get()));
  if (!tiff) {
    return std::nullopt;
  }
  std::uint32_t height = 0;
  std::uint16_t bits = 1, samples = 1;
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
  tiff_layout layout;
  layout.pixel_bytes = std::uint64_t{samples} * std::max(1, (bits + 7) / 8);
  if (TIFFIsTiled(tiff.get()) != 0) {
    layout.tiled = true;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_TILELENGTH, &layout.rows);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_TILEWIDTH, &layout.tile_width);
  } else {
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ROWSPERSTRIP, &layout.rows);
    std::uint16_t planar = PLANARCONFIG_CONTIG, photometric = 0;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    layout.scanlinewise = layout.rows > most_rows_read_whole && planar == PLANARCONFIG_CONTIG &&
                          photometric != PHOTOMETRIC_YCBCR;
    if (layout.scanlinewise) {
      const std::uint32_t strips = TIFFNumberOfStrips(tiff.get());
      for (std::uint32_t strip = 0; strip < strips; ++strip) {
        layout.largest_strip =
            std::max(layout.largest_strip, TIFFGetStrileByteCount(tiff.get(), strip));
      }
    }
  }
  // A plane after another reads as one more strip of the whole pixel's height.
  layout.rows = std::clamp(layout.rows, 1U, std::max(1U, height));
  return layout;
}

// The loader decodes a strip, or a row of tiles, into a buffer and keeps the
// strip before it while the chain catches up: two of them across the width;
// a planar file's plane buffers take no more. A file whose strip holds every
// row is held whole. A taller strip is read a row at a time and holds only
// its stored bytes, which the file's size bounds: a 16-bit scan in one
// compressed strip holds its compressed bytes, not its pixels.
decoder_memory tiff_memory(const encoded_image& image, const vips::VImage& header) {
  const auto width = static_cast<std::uint64_t>(header.width());
  const auto height = static_cast<std::uint64_t>(header.height());
  const std::optional<tiff_layout> layout = read_tiff_layout(image);
  if (!layout) {
    throw status_failure(status::generic_error);
  }
  const std::uint64_t chain = width * chain_bytes_per_column(header);
  if (layout->scanlinewise) {
    return {false, std::min(layout->largest_strip, encoded_size(image)) + chain};
  }
  const std::uint64_t across =
      layout->tiled && layout->tile_width != 0 ? round_up(width, layout->tile_width) : width;
  const std::uint64_t rows = std::min<std::uint64_t>(2 * std::uint64_t{layout->rows}, height);
  const std::uint64_t decoder = product(product(across, rows), layout->pixel_bytes);
  return {layout->rows >= height, decoder > UINT64_MAX - chain ? UINT64_MAX : decoder + chain};
}

}  // namespace

std::uint64_t encoded_size(const encoded_image& image) {
  if (image.path.empty()) {
    return image.bytes.size();
  }
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(image.path, error);
  return error ? 0 : size;
}

// The layouts read in strips, each measured to stream: a sequential JPEG
// whose first scan holds every component, a PNG without interlacing, a TIFF
// whose strips or rows of tiles are shorter than the image, or whose tall
// strips the loader reads a row at a time. Any other layout,
// or one the file leaves in doubt, counts as held whole: an unusual one is
// refused rather than trusted.
decoder_memory estimate_decoder_memory(const encoded_image& image, const vips::VImage& header,
                                       image_format format, int shrink) {
  const auto width = static_cast<std::uint64_t>(header.width());
  const auto height = static_cast<std::uint64_t>(header.height());
  const auto pixel_bytes = static_cast<std::uint64_t>(vips_format_sizeof(header.format())) *
                           static_cast<std::uint64_t>(header.bands());
  switch (format) {
    case image_formats::gif:  // the decoder's frame, RGBA, beside the bytes it reads
      return {true, width * height * 4 + image.bytes.size(), 0, image.bytes.size()};
    case image_formats::png:
      if (flag(header, "interlaced")) {
        return {true, width * height * pixel_bytes};
      }
      return {false, width * chain_bytes_per_column(header)};
    case image_formats::jpeg: {
      image_reader reader(image);
      return jpeg_memory(reader, header, shrink);
    }
    default:  // tiff
      return tiff_memory(image, header);
  }
}

}  // namespace core::graphics::gdip::detail
