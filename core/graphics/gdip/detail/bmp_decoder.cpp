#include "core/graphics/gdip/detail/bmp_decoder.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/encoded_input.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/gdip/image_threads.hpp"
#include "core/log/logger.hpp"

namespace core::graphics::gdip::detail {

namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::size_t core_header_size = 12;

// The compressions decoded.
constexpr std::uint32_t bi_rgb = 0, bi_rle8 = 1, bi_rle4 = 2, bi_bitfields = 3,
                        bi_alphabitfields = 6;

// A V5 header's colour space that says its profile is in the file: "MBED".
constexpr std::uint32_t profile_embedded = 0x4D424544;

// The most of the file read at a time.
constexpr std::size_t piece_size = std::size_t{1} << 20;

[[noreturn]] void refuse(const std::string& reason) {
  throw status_failure(status::generic_error, reason);
}

std::uint32_t little_endian(const unsigned char* bytes, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) {
    value = value << 8 | bytes[i];
  }
  return value;
}

struct bmp_layout {
  bmp_header header;
  bool top_down = false;
  std::uint32_t compression = bi_rgb;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
  std::uint64_t palette_at = 0;
  std::uint32_t palette_entries = 0, palette_entry_size = 4;
  std::uint64_t pixels_at = 0;
  bool profile_embedded = false;
  std::uint64_t profile_at = 0;
  double xres = 1.0, yres = 1.0;  // pixels a millimetre

  std::uint64_t stride() const { return (header.width * header.bits + 31) / 32 * 4; }
};

bool is_decoded(std::uint32_t bits, std::uint32_t compression) {
  switch (compression) {
    case bi_rgb:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case bi_rle8:
      return bits == 8;
    case bi_rle4:
      return bits == 4;
    case bi_bitfields:
    case bi_alphabitfields:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

double pixels_per_mm(std::uint32_t pixels_per_metre) {
  const auto value = static_cast<std::int32_t>(pixels_per_metre);
  return value > 0 ? value / 1000.0 : 1.0;
}

bmp_layout read_layout(std::string_view head_bytes) {
  const auto* head = reinterpret_cast<const unsigned char*>(head_bytes.data());
  const auto ends_in_header = [] { refuse("the file ends in its header"); };
  if (head_bytes.size() < file_header_size + 4) {
    ends_in_header();
  }
  const std::uint32_t header_size = little_endian(head + file_header_size, 4);
  const bool core_header = header_size == core_header_size;
  if (!core_header && (header_size < 16 || header_size > 124)) {
    refuse("its info header of " + std::to_string(header_size) + " bytes is not decoded");
  }
  if (head_bytes.size() < file_header_size + header_size) {
    ends_in_header();
  }
  // A field the header is too short to hold is 0.
  const auto field = [&](std::size_t at, std::size_t size) {
    return at + size <= header_size ? little_endian(head + file_header_size + at, size) : 0;
  };

  bmp_layout layout;
  std::int64_t width = 0, height = 0;
  if (core_header) {
    width = field(4, 2);
    height = field(6, 2);
    layout.header.bits = field(10, 2);
    layout.palette_entry_size = 3;
  } else {
    width = static_cast<std::int32_t>(field(4, 4));
    height = static_cast<std::int32_t>(field(8, 4));
    layout.header.bits = field(14, 2);
    layout.compression = field(16, 4);
    layout.xres = pixels_per_mm(field(24, 4));
    layout.yres = pixels_per_mm(field(28, 4));
    // A linked profile names a file: never opened.
    if (field(56, 4) == profile_embedded) {
      layout.profile_embedded = true;
      layout.profile_at = file_header_size + std::uint64_t{field(112, 4)};
      layout.header.profile_bytes = field(116, 4);
    }
  }
  const std::uint32_t bits = layout.header.bits;
  // OS/2's headers give compressions from 3 on other meanings.
  const bool windows_header = header_size == 40 || header_size == 52 || header_size == 56 ||
                              header_size == 108 || header_size == 124;
  if (!is_decoded(bits, layout.compression) || (!windows_header && layout.compression > bi_rle4)) {
    refuse("its layout of " + std::to_string(bits) + " bits a pixel, compression " +
           std::to_string(layout.compression) + ", is not decoded");
  }
  if (width <= 0 || height == 0) {
    refuse("it declares " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
  }
  layout.top_down = height < 0;
  layout.header.run_length = layout.compression == bi_rle8 || layout.compression == bi_rle4;
  layout.header.width = static_cast<std::uint64_t>(width);
  layout.header.height = static_cast<std::uint64_t>(std::abs(height));

  std::uint64_t after_header = file_header_size + header_size;
  if (layout.compression == bi_bitfields || layout.compression == bi_alphabitfields) {
    const std::size_t mask_count = layout.compression == bi_alphabitfields ? 4 : 3;
    if (header_size == 40) {
      // The masks follow the header.
      if (head_bytes.size() < after_header + 4 * mask_count) {
        ends_in_header();
      }
      for (std::size_t i = 0; i < mask_count; ++i) {
        layout.masks[i] = little_endian(head + after_header + 4 * i, 4);
      }
      after_header += 4 * mask_count;
    } else {
      for (std::size_t i = 0; i < 4; ++i) {
        layout.masks[i] = field(40 + 4 * i, 4);
      }
    }
    if (bits == 16) {
      for (std::uint32_t& mask : layout.masks) {
        mask &= 0xFFFF;
      }
    }
  } else if (bits == 16) {
    layout.masks = {0x7C00, 0x03E0, 0x001F, 0};
  } else if (bits == 32) {
    layout.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  }
  layout.header.bands = layout.masks[3] != 0 ? 4 : 3;

  layout.palette_at = after_header;
  if (bits <= 8) {
    const std::uint32_t used = field(32, 4);
    layout.palette_entries = used != 0 && used < (1U << bits) ? used : 1U << bits;
  }
  const std::uint32_t pixels_at = little_endian(head + 10, 4);
  if (pixels_at == 0) {
    layout.pixels_at = layout.palette_at + layout.palette_entries * layout.palette_entry_size;
  } else {
    layout.pixels_at = pixels_at;
    // Some writers keep fewer colours than they declare: the pixels begin where those end.
    if (pixels_at > layout.palette_at) {
      layout.palette_entries = static_cast<std::uint32_t>(std::min<std::uint64_t>(
          layout.palette_entries, (pixels_at - layout.palette_at) / layout.palette_entry_size));
    }
  }

  if (layout.header.width > VIPS_MAX_COORD || layout.header.height > VIPS_MAX_COORD) {
    refuse("its " + std::to_string(width) + " x " + std::to_string(layout.header.height) +
           " pixels exceed the sides an image may have");
  }
  return layout;
}

// A stretch of the file read forward in pieces of at most piece_size, never
// past its end: what a strip of rows needs, not more.
class piece_reader {
 public:
  explicit piece_reader(const encoded_input& input) : input_(input) {}

  // Reads on from offset up to end, keeping what is held of it already.
  void seek(std::uint64_t offset, std::uint64_t end) {
    end_of_stretch_ = end;
    if (offset >= at_ && offset <= at_ + end_) {
      begin_ = static_cast<std::size_t>(offset - at_);
    } else {
      at_ = offset;
      begin_ = end_ = 0;
    }
  }

  // The next size bytes, valid until the next call; nullptr when the
  // stretch ends sooner.
  const unsigned char* take(std::size_t size) {
    if (end_ - begin_ < size && !refill(size)) {
      return nullptr;
    }
    const unsigned char* piece = buffer_.data() + begin_;
    begin_ += size;
    return piece;
  }

  std::uint64_t position() const { return at_ + begin_; }

 private:
  bool refill(std::size_t size) {
    const std::size_t kept = end_ - begin_;
    if (kept > 0) {
      std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
    }
    at_ += begin_;
    begin_ = 0;
    end_ = kept;
    const std::uint64_t next = at_ + kept;
    const std::uint64_t left = end_of_stretch_ > next ? end_of_stretch_ - next : 0;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(std::max(size, piece_size) - kept, left));
    if (buffer_.size() < kept + count) {
      buffer_.resize(kept + count);
    }
    end_ += input_.read_at(next, buffer_.data() + kept, count);
    return end_ >= size;
  }

  const encoded_input& input_;
  std::vector<unsigned char> buffer_;
  std::uint64_t at_ = 0;  // where buffer_ begins in the file
  std::size_t begin_ = 0, end_ = 0;
  std::uint64_t end_of_stretch_ = 0;
};

[[noreturn]] void ends_in_pixels() {
  refuse("the file ends in its pixels");
}

using palette = std::array<std::array<unsigned char, 3>, 256>;

// An index the palette lacks is black.
palette read_palette(const encoded_input& input, const bmp_layout& layout) {
  palette colours{};
  if (layout.palette_entries == 0) {
    return colours;
  }
  const std::size_t size = std::size_t{layout.palette_entries} * layout.palette_entry_size;
  std::vector<unsigned char> bytes(size);
  if (input.read_at(layout.palette_at, bytes.data(), size) != size) {
    refuse("the file ends in its palette");
  }
  for (std::size_t i = 0; i < layout.palette_entries; ++i) {
    const unsigned char* entry = bytes.data() + i * layout.palette_entry_size;
    colours[i] = {entry[2], entry[1], entry[0]};
  }
  return colours;
}

// A colour mask's place in a pixel, and the 8-bit level of each of its
// values: fewer bits are repeated to fill 8 (5 bits abcde give abcdeabc), so
// that 0 and the largest value stay black and full; of more, the top 8 count.
class channel {
 public:
  explicit channel(std::uint32_t mask) {
    int width = 0;
    if (mask != 0) {
      shift_ = std::countr_zero(mask);
      const std::uint32_t values = mask >> shift_;
      if ((values & (values + 1)) != 0) {
        refuse("its colour masks are not contiguous");
      }
      width = std::popcount(values);
      if (width > 8) {
        shift_ += width - 8;
        width = 8;
      }
    }
    largest_ = (1U << width) - 1;
    levels_.resize(largest_ + 1);
    for (std::uint32_t value = 1; value <= largest_; ++value) {
      std::uint32_t repeated = 0;
      int bits = 0;
      for (; bits < 8; bits += width) {
        repeated = repeated << width | value;
      }
      levels_[value] = static_cast<unsigned char>(repeated >> (bits - 8));
    }
  }

  unsigned char operator()(std::uint32_t pixel) const {
    return levels_[(pixel >> shift_) & largest_];
  }

 private:
  int shift_ = 0;
  std::uint32_t largest_ = 0;
  std::vector<unsigned char> levels_;
};

// One code of an RLE8 or RLE4 stream: a run of one index, the indices that
// follow (a literal), or an escape for the end of a row, the end of the
// image, and a jump ahead.
struct rle_code {
  enum kind { run, literal, row_end, image_end, jump, data_end } kind = data_end;
  unsigned count = 0;                      // pixels of a run or literal; across, of a jump
  unsigned value = 0;                      // of a run; down, of a jump
  const unsigned char* indices = nullptr;  // of a literal, until the next code is read
};

// Throws status_failure where the data end within a code.
rle_code next_code(piece_reader& data, bool rle4) {
  const unsigned char* pair = data.take(2);
  if (pair == nullptr) {
    return {};
  }
  const unsigned count = pair[0], value = pair[1];
  if (count > 0) {
    return {rle_code::run, count, value};
  }
  if (value < 2) {
    return {value == 0 ? rle_code::row_end : rle_code::image_end};
  }
  if (value == 2) {
    const unsigned char* jump = data.take(2);
    if (jump == nullptr) {
      ends_in_pixels();
    }
    return {rle_code::jump, jump[0], jump[1]};
  }
  // value indices, padded to a 16-bit boundary.
  const std::size_t bytes = rle4 ? (value + 1) / 2 : value;
  const unsigned char* indices = data.take(bytes + bytes % 2);
  if (indices == nullptr) {
    ends_in_pixels();
  }
  return {rle_code::literal, value, 0, indices};
}

// Where a stored row's codes begin, at what column, and where the code that
// leaves the row ends. at 0: no code draws in the row.
struct rle_row {
  std::uint64_t at = 0, end = 0;
  std::uint64_t x = 0;
};

// What a thread reading the rows holds: its piece of the file and one row
// decoded whole.
struct row_scratch {
  explicit row_scratch(const encoded_input& input) : data(input) {}
  piece_reader data;
  std::vector<unsigned char> row;
};

// A BMP's rows, decoded from its file as they are asked for. Once made, it
// changes no more: any thread reads with its own scratch.
class bmp_rows {
 public:
  explicit bmp_rows(encoded_input input)
      : input_(std::move(input)), layout_(layout_of(input_)), channels_(channels()) {}

  const bmp_layout& layout() const { return layout_; }
  const bmp_header& header() const { return layout_.header; }
  const encoded_input& input() const { return input_; }

  // Reads what the rows are decoded through and judges the stored data:
  // whether it holds every row, and whether any pixel has alpha.
  void prepare() {
    colours_ = read_palette(input_, layout_);
    if (layout_.header.run_length) {
      index_codes();
      return;
    }
    if (input_.size() < layout_.pixels_at + layout_.stride() * layout_.header.height) {
      ends_in_pixels();
    }
    if (layout_.header.bands == 4 && !any_alpha()) {
      layout_.header.bands = 3;
    }
  }

  // The embedded colour profile's bytes; empty, with a log line, when it
  // cannot be had.
  std::string profile() const {
    const std::uint64_t size = layout_.header.profile_bytes;
    if (!layout_.profile_embedded) {
      return {};
    }
    const auto left_out = [](const std::string& why) {
      log::write(log::severity::warning, "the BMP's colour profile is left out: %s", why);
      return std::string();
    };
    if (size == 0 || size > bmp_largest_profile) {
      return left_out("it declares " + std::to_string(size) + " bytes");
    }
    std::string bytes(size, '\0');
    auto* data = reinterpret_cast<unsigned char*>(bytes.data());
    if (input_.read_at(layout_.profile_at, data, size) != size) {
      return left_out("the file ends in it");
    }
    // Its own length leads it, big-endian: some writers pad it to 4 bytes.
    constexpr std::uint64_t icc_header_size = 128;
    const std::uint64_t own = std::uint64_t{data[0]} << 24 | data[1] << 16 | data[2] << 8 | data[3];
    if (own < icc_header_size || own > size) {
      return left_out("it says it takes " + std::to_string(own) + " of its " +
                      std::to_string(size) + " bytes");
    }
    bytes.resize(own);
    return bytes;
  }

  // The image's rows top..bottom - 1, columns left..left + width - 1, each
  // into row(y).
  template <class Target>
  void read(std::uint64_t top, std::uint64_t bottom, std::uint64_t left, std::uint64_t width,
            row_scratch& scratch, Target row) const {
    const std::uint64_t height = layout_.header.height, bands = layout_.header.bands;
    // Stored in the file from first to last.
    const std::uint64_t first = layout_.top_down ? top : height - bottom;
    const std::uint64_t last = layout_.top_down ? bottom - 1 : height - 1 - top;
    scratch.row.resize(layout_.header.width * bands);
    if (!layout_.header.run_length) {
      scratch.data.seek(layout_.pixels_at + first * layout_.stride(),
                        layout_.pixels_at + (last + 1) * layout_.stride());
    }
    std::uint64_t codes_end = 0;
    for (std::uint64_t stored = first; layout_.header.run_length && stored <= last; ++stored) {
      codes_end = std::max(codes_end, rle_rows_[stored].end);
    }
    for (std::uint64_t stored = first; stored <= last; ++stored) {
      if (layout_.header.run_length) {
        decode_rle_row(stored, codes_end, scratch);
      } else {
        const unsigned char* in = scratch.data.take(layout_.stride());
        if (in == nullptr) {
          ends_in_pixels();
        }
        decode_row(in, scratch.row.data());
      }
      const std::uint64_t y = layout_.top_down ? stored : height - 1 - stored;
      std::memcpy(row(y), scratch.row.data() + left * bands, width * bands);
    }
  }

 private:
  static bmp_layout layout_of(const encoded_input& input) {
    std::array<unsigned char, bmp_headers_size> head{};
    const std::size_t size = input.read_at(0, head.data(), head.size());
    return read_layout({reinterpret_cast<const char*>(head.data()), size});
  }

  std::array<channel, 4> channels() const {
    return {channel(layout_.masks[0]), channel(layout_.masks[1]), channel(layout_.masks[2]),
            channel(layout_.masks[3])};
  }

  // Stored pixels that all have alpha 0 stored none in the byte alpha would take.
  bool any_alpha() const {
    const channel alpha(layout_.masks[3]);
    const std::size_t size = layout_.header.bits / 8;
    piece_reader data(input_);
    data.seek(layout_.pixels_at, layout_.pixels_at + layout_.stride() * layout_.header.height);
    for (std::uint64_t y = 0; y < layout_.header.height; ++y) {
      const unsigned char* in = data.take(layout_.stride());
      if (in == nullptr) {
        ends_in_pixels();
      }
      for (std::uint64_t x = 0; x < layout_.header.width; ++x, in += size) {
        if (alpha(little_endian(in, size)) != 0) {
          return true;
        }
      }
    }
    return false;
  }

  void decode_row(const unsigned char* in, unsigned char* out) const {
    const std::uint64_t width = layout_.header.width;
    const std::uint32_t bits = layout_.header.bits;
    if (bits <= 8) {
      const unsigned per_byte = 8 / bits, index_mask = (1U << bits) - 1;
      for (std::uint64_t x = 0; x < width; ++x, out += 3) {
        const unsigned shift = 8 - bits * (x % per_byte + 1);
        std::memcpy(out, colours_[in[x / per_byte] >> shift & index_mask].data(), 3);
      }
    } else if (bits == 24) {
      for (std::uint64_t x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    } else {
      const std::size_t size = bits / 8;
      const bool alpha = layout_.header.bands == 4;
      for (std::uint64_t x = 0; x < width; ++x, in += size, out += layout_.header.bands) {
        const std::uint32_t pixel = little_endian(in, size);
        out[0] = channels_[0](pixel);
        out[1] = channels_[1](pixel);
        out[2] = channels_[2](pixel);
        if (alpha) {
          out[3] = channels_[3](pixel);
        }
      }
    }
  }

  // Walks the codes once, noting where each row's begin: pixels past a row's
  // end are dropped, past the last row they are damage.
  void index_codes() {
    const std::uint64_t width = layout_.header.width, height = layout_.header.height;
    rle_rows_.assign(height, {});
    piece_reader data(input_);
    data.seek(layout_.pixels_at, input_.size());
    const bool rle4 = layout_.compression == bi_rle4;
    std::uint64_t x = 0, y = 0;
    rle_rows_[0] = {layout_.pixels_at, 0, 0};
    // The row the codes are in ends; they go on at (x, y).
    const auto leave_row = [&](std::uint64_t to_x, std::uint64_t to_y) {
      if (y < height) {
        rle_rows_[y].end = data.position();
      }
      x = to_x;
      y = to_y;
      if (y < height && x < width) {
        rle_rows_[y] = {data.position(), 0, x};
      }
    };
    for (;;) {
      const rle_code code = next_code(data, rle4);
      switch (code.kind) {
        case rle_code::run:
        case rle_code::literal:
          if (x < width && y >= height) {
            refuse("its compressed pixels run past the image");
          }
          x += code.count;
          break;
        case rle_code::row_end:
          leave_row(0, y + 1);
          break;
        case rle_code::jump:
          if (code.value == 0) {
            x += code.count;
          } else {
            leave_row(x + code.count, y + code.value);
          }
          break;
        case rle_code::image_end:
          leave_row(x, height);
          return;
        case rle_code::data_end:
          // Without its end mark, only a stream that covered the image is whole.
          if (y >= height || (y + 1 == height && x >= width)) {
            leave_row(x, height);
            return;
          }
          ends_in_pixels();
      }
    }
  }

  // A run past the row's end is dropped in one step: the work follows the
  // pixels drawn. Decoding stops where the row's pixels end. The walk found
  // every code the row reads: data that end sooner were cut since.
  void decode_rle_row(std::uint64_t stored, std::uint64_t codes_end, row_scratch& scratch) const {
    std::memset(scratch.row.data(), 0, scratch.row.size());
    const rle_row& start = rle_rows_[stored];
    if (start.at == 0) {
      return;
    }
    const std::uint64_t width = layout_.header.width;
    const bool rle4 = layout_.compression == bi_rle4;
    scratch.data.seek(start.at, codes_end);
    for (std::uint64_t x = start.x; x < width;) {
      const rle_code code = next_code(scratch.data, rle4);
      if (code.kind == rle_code::jump && code.value == 0) {
        x += code.count;
        continue;
      }
      if (code.kind == rle_code::data_end) {
        ends_in_pixels();
      }
      if (code.kind != rle_code::run && code.kind != rle_code::literal) {
        break;
      }
      const std::uint64_t drawn = std::min<std::uint64_t>(code.count, width - x);
      unsigned char* out = scratch.row.data() + 3 * x;
      for (unsigned i = 0; i < drawn; ++i, out += 3) {
        const unsigned byte =
            code.kind == rle_code::run ? code.value : code.indices[rle4 ? i / 2 : i];
        const unsigned index = !rle4 ? byte : i % 2 == 0 ? byte >> 4 : byte & 0xF;
        std::memcpy(out, colours_[index].data(), 3);
      }
      x += code.count;
    }
  }

  encoded_input input_;
  bmp_layout layout_;
  std::array<channel, 4> channels_;
  palette colours_{};
  std::vector<rle_row> rle_rows_;
};

void* start_reading(VipsImage*, void* rows, void*) {
  return new row_scratch(static_cast<const bmp_rows*>(rows)->input());
}

int stop_reading(void* scratch, void*, void*) {
  delete static_cast<row_scratch*>(scratch);
  return 0;
}

// The failure's words: the imaging library's threads carry no exception.
std::string failure_words(const status_failure& failure) {
  if (!failure.reason().empty()) {
    return failure.reason();
  }
  return failure.error() != 0 ? std::strerror(failure.error()) : "the file cannot be read";
}

int generate(VipsRegion* out, void* scratch, void* rows, void*, gboolean*) {
  const VipsRect& area = out->valid;
  try {
    static_cast<const bmp_rows*>(rows)->read(
        static_cast<std::uint64_t>(area.top), static_cast<std::uint64_t>(area.top + area.height),
        static_cast<std::uint64_t>(area.left), static_cast<std::uint64_t>(area.width),
        *static_cast<row_scratch*>(scratch), [out, left = area.left](std::uint64_t y) {
          return VIPS_REGION_ADDR(out, left, static_cast<int>(y));
        });
  } catch (const status_failure& failure) {
    vips_error("bmp", "%s", failure_words(failure).c_str());
    return -1;
  } catch (const std::exception& e) {
    vips_error("bmp", "%s", e.what());
    return -1;
  }
  return 0;
}

void close_rows(VipsImage*, bmp_rows* rows) {
  delete rows;
}

// Whether profile describes a BMP's pixels, RGB with or without alpha: the
// data colour space its header names is RGB and the colour library reads it.
// The imaging library's own check matches channel counts alone, which takes
// a GRAY profile for RGB pixels and a CMYK one for RGB with alpha.
bool describes_rgb(VipsImage* image, const std::string& profile) {
  constexpr std::size_t colour_space_at = 16;  // within its 128-byte header
  return profile.compare(colour_space_at, 4, "RGB ") == 0 &&
         vips_icc_is_compatible_profile(image, profile.data(), profile.size());
}

// The rows as an image that owns them, with their colour profile where it
// describes them.
vips::VImage rows_image(std::unique_ptr<bmp_rows> owned) {
  vips::VImage image(vips_image_new());  // steals the reference
  bmp_rows* rows = owned.release();
  g_signal_connect(image.get_image(), "close", G_CALLBACK(close_rows), rows);
  const bmp_header& header = rows->header();
  vips_image_init_fields(image.get_image(), static_cast<int>(header.width),
                         static_cast<int>(header.height), static_cast<int>(header.bands),
                         VIPS_FORMAT_UCHAR, VIPS_CODING_NONE, VIPS_INTERPRETATION_sRGB,
                         rows->layout().xres, rows->layout().yres);
  if (vips_image_pipelinev(image.get_image(), VIPS_DEMAND_STYLE_THINSTRIP, nullptr) != 0 ||
      vips_image_generate(image.get_image(), start_reading, generate, stop_reading, rows,
                          nullptr) != 0) {
    throw vips::VError();
  }
  const std::string profile = rows->profile();
  if (!profile.empty()) {
    if (describes_rgb(image.get_image(), profile)) {
      vips_image_set_blob_copy(image.get_image(), VIPS_META_ICC_NAME, profile.data(),
                               profile.size());
    } else {
      log::write(log::severity::warning,
                 "the BMP's colour profile is left out: it does not describe its pixels");
    }
  }
  return image;
}

}  // namespace

bmp_header read_bmp_header(std::string_view head) {
  return read_layout(head).header;
}

decoder_memory estimate_bmp_decoder_memory(const bmp_header& header) {
  // The decoder's pieces of the file and decoded rows on each of the imaging
  // library's threads, and an RLE file's record of where each row's codes begin.
  const std::uint64_t row = header.width * header.bands;
  const std::uint64_t stride = (header.width * header.bits + 31) / 32 * 4;
  const std::uint64_t index = header.run_length ? header.height * sizeof(rle_row) : 0;
  const std::uint64_t decoder =
      index + image_threads() * (std::max<std::uint64_t>(piece_size, stride) + row);
  // A larger profile is left out.
  const std::uint64_t profile =
      header.profile_bytes <= bmp_largest_profile ? header.profile_bytes : 0;
  return {false, header.width * chain_bytes_per_column(header.bands == 4, 1) + decoder,
          profile * metadata_copies};
}

vips::VImage decode_bmp_file(scoped_handle file) {
  auto rows = std::make_unique<bmp_rows>(encoded_input(std::move(file)));
  const bmp_header& header = rows->header();
  check_decoder_memory(header.width, header.height, estimate_bmp_decoder_memory(header),
                       rows->input().size());
  rows->prepare();
  // Marked as read from top to bottom, the steps behind ask for whole rows
  // a strip at a time, kept a while by the cache: a narrow tile or a row
  // asked again would read and decode the whole row anew.
  vips::VImage image = rows_image(std::move(rows));
  image.set(VIPS_META_SEQUENTIAL, 1);
  VipsImage* strips = nullptr;
  if (vips_sequential(image.get_image(), &strips, "tile_height", 8, nullptr) != 0) {
    throw vips::VError();
  }
  return vips::VImage(strips);  // steals the reference
}

vips::VImage decode_bmp(std::string_view bytes) {
  auto rows = std::make_unique<bmp_rows>(encoded_input(bytes));
  const bmp_header& header = rows->header();
  check_decode_budget(header.width, header.height, header.bands);
  rows->prepare();
  return rows_image(std::move(rows)).copy_memory();
}

}  // namespace core::graphics::gdip::detail
