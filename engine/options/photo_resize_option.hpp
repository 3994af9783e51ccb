#pragma once

#include <cstdint>
#include <string>

namespace parvel {

// The kinds of target size; the numbers are the stored ones.
enum photo_resize_kind : std::int32_t {
  resize_keep = 0,  // do not change
  resize_custom = 1,
  resize_hd = 2,
  resize_wide = 3,
  resize_monitor = 4
};

// The target size of a send.
struct photo_resize_option {
  std::int32_t kind = resize_keep;
  std::uint32_t width = 0;
  std::uint32_t height = 0;

  // The kind's localized name; empty for an unknown kind.
  std::u16string kind_text() const;
  // "1920 x 1080".
  std::u16string size_text() const;
};

}  // namespace parvel
