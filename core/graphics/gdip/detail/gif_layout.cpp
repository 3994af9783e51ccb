#include "core/graphics/gdip/detail/gif_layout.hpp"

#include <algorithm>
#include <array>
#include <optional>

#include "core/graphics/gdip/detail/decode_budget.hpp"

namespace core::graphics::gdip::detail {

namespace {

constexpr int extension_introducer = 0x21;
constexpr int image_separator = 0x2C;
constexpr int graphic_control_label = 0xF9;
constexpr int comment_label = 0xFE;
constexpr int colour_table_flag = 0x80;

// Reads the input forward a block at a time: the walk over an image's data
// looks at a length byte every 256 bytes at most.
class gif_cursor {
 public:
  explicit gif_cursor(const encoded_input& input) : input_(input) {}

  // The next byte, or -1 at the end of the input.
  int next() {
    if (at_ == count_) {
      offset_ += count_;
      count_ = input_.read_at(offset_, block_.data(), block_.size());
      at_ = 0;
      if (count_ == 0) {
        return -1;
      }
    }
    return block_[at_++];
  }

  // The next two bytes as a little-endian number, or -1 at the end of the input.
  std::int64_t next_le16() {
    const int low = next();
    const int high = next();
    return low < 0 || high < 0 ? -1 : low | high << 8;
  }

  void skip(std::uint64_t count) {
    if (count <= count_ - at_) {
      at_ += count;
      return;
    }
    offset_ = position() + count;
    count_ = 0;
    at_ = 0;
  }

  std::uint64_t position() const { return offset_ + at_; }

 private:
  const encoded_input& input_;
  std::array<unsigned char, 64 * 1024> block_{};
  std::size_t count_ = 0;
  std::size_t at_ = 0;
  std::uint64_t offset_ = 0;
};

// Screens that programs wrote whatever their images' size, and screens past
// 2048 pixels, the loader takes for a screen of 1 x 1, which the first image
// then grows to its own size.
bool screen_taken_for_none(std::int64_t width, std::int64_t height) {
  constexpr std::array<std::array<std::int64_t, 2>, 6> common_screens = {
      {{640, 480}, {640, 512}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}}};
  return width == 0 || height == 0 || width > 2048 || height > 2048 ||
         std::find(common_screens.begin(), common_screens.end(),
                   std::array<std::int64_t, 2>{width, height}) != common_screens.end();
}

std::uint64_t colour_table_bytes(int flags) {
  return (flags & colour_table_flag) != 0 ? 3 * (std::uint64_t{2} << (flags & 7)) : 0;
}

// Passes sub-blocks up to and past their terminator, a zero length. False at
// the end of the input, or past the budget.
bool skip_sub_blocks(gif_cursor& cursor) {
  for (;;) {
    const int length = cursor.next();
    if (length < 0 || cursor.position() > decode_budget) {
      return false;
    }
    if (length == 0) {
      return true;
    }
    cursor.skip(static_cast<std::uint64_t>(length));
  }
}

// Passes an extension after its introducer, as the loader does: a comment's
// sub-blocks start after its label; any other's first sub-block is its
// fixed part, whose length byte is never taken for a terminator. Notes a
// graphic control's transparent colour. False at the end of the input.
bool skip_extension(gif_cursor& cursor, bool& transparency) {
  const int label = cursor.next();
  if (label < 0) {
    return false;
  }
  if (label != comment_label) {
    const int length = cursor.next();
    if (length < 0) {
      return false;
    }
    if (label == graphic_control_label) {
      // Its flags are read even from a fixed part of no length, where
      // they are the next sub-block's length.
      const int packed = cursor.next();
      if (packed < 0) {
        return false;
      }
      transparency = transparency || (packed & 1) != 0;
      if (length == 0) {
        if (packed == 0) {
          return true;
        }
        cursor.skip(static_cast<std::uint64_t>(packed));
      } else {
        cursor.skip(static_cast<std::uint64_t>(length - 1));
      }
    } else {
      cursor.skip(static_cast<std::uint64_t>(length));
    }
  }
  return skip_sub_blocks(cursor);
}

// Walks to the end of the first image's data. Empty when the input ends
// before it, or when a block that is neither an extension nor an image stands
// in its way: the loader then meets the file as it stands.
std::optional<std::uint64_t> first_image_end(gif_cursor& cursor, gif_layout& layout) {
  for (;;) {
    const int block = cursor.next();
    if (block == extension_introducer) {
      if (!skip_extension(cursor, layout.transparency)) {
        return std::nullopt;
      }
      continue;
    }
    if (block != image_separator) {
      return std::nullopt;
    }
    const std::int64_t left = cursor.next_le16();
    const std::int64_t top = cursor.next_le16();
    const std::int64_t width = cursor.next_le16();
    const std::int64_t height = cursor.next_le16();
    const int flags = cursor.next();
    if (flags < 0) {
      return std::nullopt;
    }
    layout.width = std::max(layout.width, static_cast<std::uint64_t>(left + width));
    layout.height = std::max(layout.height, static_cast<std::uint64_t>(top + height));
    cursor.skip(colour_table_bytes(flags));
    if (cursor.next() < 0 || !skip_sub_blocks(cursor)) {  // LZW code size, then the data
      return std::nullopt;
    }
    return cursor.position();
  }
}

}  // namespace

gif_layout read_gif_layout(const encoded_input& input) {
  gif_cursor cursor(input);
  gif_layout layout;
  cursor.skip(6);  // signature and version
  const std::int64_t width = cursor.next_le16();
  const std::int64_t height = cursor.next_le16();
  const int flags = cursor.next();
  std::optional<std::uint64_t> end;
  if (flags >= 0) {
    const bool none = screen_taken_for_none(width, height);
    layout.width = none ? 1 : static_cast<std::uint64_t>(width);
    layout.height = none ? 1 : static_cast<std::uint64_t>(height);
    cursor.skip(2 + colour_table_bytes(flags));  // background colour, aspect ratio
    end = first_image_end(cursor, layout);
  }
  layout.image_whole = end.has_value();
  if (end) {
    layout.extent = *end;
  } else {
    layout.extent = input.size();
    // A walk given up past the budget need not learn how far the data runs.
    if (cursor.position() > decode_budget) {
      layout.extent = std::min(layout.extent, cursor.position());
    }
  }
  return layout;
}

decoder_memory gif_file_memory(const gif_layout& layout) {
  return {true, layout.width * layout.height * 4 + layout.extent, 0, layout.extent};
}

}  // namespace core::graphics::gdip::detail
