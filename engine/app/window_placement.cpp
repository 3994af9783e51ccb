#include "engine/app/window_placement.hpp"

#include <array>
#include <stdexcept>

namespace parvel {

namespace {

std::array<std::int32_t*, 11> fields(window_placement& p) {
  return {&p.length, &p.flags, &p.show_command, &p.min_x, &p.min_y, &p.max_x,
          &p.max_y,  &p.left,  &p.top,          &p.right, &p.bottom};
}

}  // namespace

std::string to_bytes(const window_placement& placement) {
  window_placement copy = placement;
  std::string bytes;
  for (const std::int32_t* field : fields(copy)) {
    const auto value = static_cast<std::uint32_t>(*field);
    for (int shift = 0; shift < 32; shift += 8) {
      bytes += static_cast<char>((value >> shift) & 0xFF);
    }
  }
  return bytes;
}

window_placement placement_from_bytes(std::string_view bytes) {
  if (bytes.size() < window_placement::record_size) {
    throw std::runtime_error("invalid window_placement.");
  }
  window_placement placement;
  std::size_t at = 0;
  for (std::int32_t* field : fields(placement)) {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at++])) << shift;
    }
    *field = static_cast<std::int32_t>(value);
  }
  if (placement.length != static_cast<std::int32_t>(window_placement::record_size) ||
      placement.show_command < 0 || placement.show_command > 11) {
    throw std::runtime_error("invalid window_placement.");
  }
  return placement;
}

}  // namespace parvel
