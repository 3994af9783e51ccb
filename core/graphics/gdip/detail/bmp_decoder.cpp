#include "core/graphics/gdip/detail/bmp_decoder.hpp"


#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/graphics/gdip/detail/decode_budget.hpp"
#include "core/graphics/gdip/detail/encoded_input.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::size_t core_header_size = 12;

// The compressions decoded.
constexpr std::uint32_t bi_rgb = 0, bi_rle8 = 1, bi_rle4 = 2, bi_bitfields = 3,
                        bi_alphabitfields = 6;

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
  check_decode_budget(layout.header.width, layout.header.height, layout.header.bands);
  return layout;
}

// The pixel data from their start on, taken in pieces.
class pixel_reader {
 public:
  pixel_reader(const encoded_input& input, std::uint64_t at) : input_(input), next_(at) {}

  // The next size bytes, valid until the next call; nullptr when the data end sooner.
  const unsigned char* take(std::size_t size) {
    if (end_ - begin_ < size && !refill(size)) {
      return nullptr;
    }
    const unsigned char* piece = buffer_.data() + begin_;
    begin_ += size;
    return piece;
  }

 private:
  bool refill(std::size_t size) {
    constexpr std::size_t piece = std::size_t{1} << 20;
    const std::size_t kept = end_ - begin_;
    if (kept > 0) {
      std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
    }
    buffer_.resize(std::max({buffer_.size(), size, piece}));
    const std::size_t read = input_.read_at(next_, buffer_.data() + kept, buffer_.size() - kept);
    next_ += read;
    begin_ = 0;
    end_ = kept + read;
    return end_ >= size;
  }

  const encoded_input& input_;
  std::uint64_t next_;
  std::vector<unsigned char> buffer_;
  std::size_t begin_ = 0, end_ = 0;
};

[[noreturn]] void ends_in_pixels() {
  refuse("the file ends in its pixels");
}

using palette = std::array<std::array<unsigned char, 3>, 256>;

// An index the palette lacks is black.
palette read_palette(const encoded_input& input, const bmp_layout& layout) {
  palette colours{};
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

// The decoded image, written row by row in the file's order.
class decoded_rows {
 public:
  explicit decoded_rows(const bmp_layout& layout) : layout_(layout) {
    image_ = vips::VImage(vips_image_new_memory());
    vips_image_init_fields(image_.get_image(), static_cast<int>(layout.header.width),
                           static_cast<int>(layout.header.height),
                           static_cast<int>(layout.header.bands), VIPS_FORMAT_UCHAR,
                           VIPS_CODING_NONE, VIPS_INTERPRETATION_sRGB, layout.xres, layout.yres);
    if (vips_image_write_prepare(image_.get_image()) != 0) {
      throw vips::VError();
    }
    first_ = VIPS_IMAGE_ADDR(image_.get_image(), 0, 0);
    row_size_ = VIPS_IMAGE_SIZEOF_LINE(image_.get_image());
  }

  // The row the file stores as its index'th.
  unsigned char* row(std::uint64_t index) const {
    const std::uint64_t y = layout_.top_down ? index : layout_.header.height - 1 - index;
    return first_ + y * row_size_;
  }

  // Pixels that all have alpha 0 stored none in the byte alpha would take.
  vips::VImage finish(bool any_alpha) {
    if (layout_.header.bands == 4 && !any_alpha) {
      return image_.extract_band(0, vips::VImage::option()->set("n", 3));
    }
    return image_;
  }

 private:
  const bmp_layout& layout_;
  vips::VImage image_;
  unsigned char* first_ = nullptr;
  std::uint64_t row_size_ = 0;
};

vips::VImage decode_rows(pixel_reader& data, const bmp_layout& layout, const palette& colours) {
  decoded_rows rows(layout);
  const std::uint64_t width = layout.header.width;
  const std::uint32_t bits = layout.header.bits;
  const std::array<channel, 4> channels{channel(layout.masks[0]), channel(layout.masks[1]),
                                        channel(layout.masks[2]), channel(layout.masks[3])};
  const bool alpha = layout.header.bands == 4;
  bool any_alpha = false;
  for (std::uint64_t y = 0; y < layout.header.height; ++y) {
    const unsigned char* in = data.take(layout.stride());
    if (in == nullptr) {
      ends_in_pixels();
    }
    unsigned char* out = rows.row(y);
    if (bits <= 8) {
      const unsigned per_byte = 8 / bits, index_mask = (1U << bits) - 1;
      for (std::uint64_t x = 0; x < width; ++x, out += 3) {
        const unsigned shift = 8 - bits * (x % per_byte + 1);
        std::memcpy(out, colours[in[x / per_byte] >> shift & index_mask].data(), 3);
      }
    } else if (bits == 24) {
      for (std::uint64_t x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    } else {
      const std::size_t size = bits / 8;
      for (std::uint64_t x = 0; x < width; ++x, in += size, out += layout.header.bands) {
        const std::uint32_t pixel = little_endian(in, size);
        out[0] = channels[0](pixel);
        out[1] = channels[1](pixel);
        out[2] = channels[2](pixel);
        if (alpha) {
          out[3] = channels[3](pixel);
          any_alpha = any_alpha || out[3] != 0;
        }
      }
    }
  }
  return rows.finish(any_alpha);
}

// RLE8 and RLE4: runs of one index, or of the indices that follow, ended by
// escapes for the end of a row, the end of the image, and a jump ahead.
vips::VImage decode_rle(pixel_reader& data, const bmp_layout& layout, const palette& colours) {
  decoded_rows rows(layout);
  const std::uint64_t width = layout.header.width, height = layout.header.height;
  for (std::uint64_t y = 0; y < height; ++y) {
    std::memset(rows.row(y), 0, width * 3);
  }
  const bool rle4 = layout.compression == bi_rle4;
  std::uint64_t x = 0, y = 0;
  // Pixels past a row's end are dropped; past the last row they are damage.
  const auto put = [&](unsigned index) {
    if (x < width) {
      if (y >= height) {
        refuse("its compressed pixels run past the image");
      }
      std::memcpy(rows.row(y) + 3 * x, colours[index].data(), 3);
    }
    ++x;
  };
  for (;;) {
    const unsigned char* pair = data.take(2);
    if (pair == nullptr) {
      // Without its end mark, only a stream that covered the image is whole.
      if (y >= height || (y + 1 == height && x >= width)) {
        break;
      }
      ends_in_pixels();
    }
    const unsigned count = pair[0], value = pair[1];
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) {
        put(rle4 ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value);
      }
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      const unsigned char* jump = data.take(2);
      if (jump == nullptr) {
        ends_in_pixels();
      }
      x += jump[0];
      y += jump[1];
    } else {
      // value indices follow, padded to a 16-bit boundary.
      const std::size_t bytes = rle4 ? (value + 1) / 2 : value;
      const unsigned char* indices = data.take(bytes + bytes % 2);
      if (indices == nullptr) {
        ends_in_pixels();
      }
      for (unsigned i = 0; i < value; ++i) {
        put(rle4 ? (i % 2 == 0 ? indices[i / 2] >> 4 : indices[i / 2] & 0xF) : indices[i]);
      }
    }
  }
  return rows.finish(false);
}

vips::VImage decode(const encoded_input& input) {
  std::array<unsigned char, bmp_headers_size> head{};
  const std::size_t size = input.read_at(0, head.data(), head.size());
  const bmp_layout layout = read_layout({reinterpret_cast<const char*>(head.data()), size});
  const palette colours = read_palette(input, layout);
  pixel_reader data(input, layout.pixels_at);
  if (layout.compression == bi_rle8 || layout.compression == bi_rle4) {
    return decode_rle(data, layout, colours);
  }
  return decode_rows(data, layout, colours);
}

}  // namespace

bmp_header read_bmp_header(std::string_view head) {
  return read_layout(head).header;
}

std::uint64_t bmp_decoder_bytes(const bmp_header& header) {
  // The decoded copy, and the piece of the file read at a time.
  return header.width * header.height * header.bands + (std::uint64_t{1} << 20) +
         (header.width * header.bits + 31) / 32 * 4;
}

vips::VImage decode_bmp_file(scoped_handle file) {
  return decode(encoded_input(std::move(file)));
}

vips::VImage decode_bmp(std::string_view bytes) {
  return decode(encoded_input(bytes));
}

}  // namespace core::graphics::gdip::detail
