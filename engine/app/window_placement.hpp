#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvel {

// The main window's saved placement. Stored as 44 bytes, eleven little-endian
// 32-bit fields in this order, so a stored value keeps its meaning across
// versions: length (always 44), flags, show state (1 normal, 2 minimised,
// 3 maximised, 9 restore), minimised x, y, maximised x, y, and the normal
// frame's left, top, right, bottom.
struct window_placement {
  static constexpr std::size_t record_size = 44;

  std::int32_t length = record_size;
  std::int32_t flags = 0;
  std::int32_t show_command = 9;
  std::int32_t min_x = 0, min_y = 0;
  std::int32_t max_x = 0, max_y = 0;
  std::int32_t left = 50, top = 20, right = 800, bottom = 600;

  friend bool operator==(const window_placement&, const window_placement&) = default;
};

std::string to_bytes(const window_placement& placement);
// The first 44 bytes; fewer bytes, a wrong length field or an unknown show
// state throw std::runtime_error "invalid window_placement.".
window_placement placement_from_bytes(std::string_view bytes);

}  // namespace parvel
