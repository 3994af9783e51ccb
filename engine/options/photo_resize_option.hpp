#pragma once

#include <cstdint>
#include <string>

namespace parvel {

// The target size of a send. Kinds: 0 do not change, 1 custom size, 2 HD,
// 3 wide-screen, 4 monitor sizes.
struct photo_resize_option {
  std::int32_t kind = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;

  // The kind's localized name; empty for an unknown kind.
  std::u16string kind_text() const;
  // "1920 x 1080".
  std::u16string size_text() const;
};

}  // namespace parvel
