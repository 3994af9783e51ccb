#include "ui/addphotos/photo_list/byte_size.hpp"

#include <array>
#include <boost/format.hpp>

#include "engine/app/application.hpp"

namespace parvel {

std::string format_byte_size(std::uint64_t bytes) {
  static constexpr std::array<const char*, 5> unit_keys{"bytes", "kb", "mb", "gb", "tb"};
  double value = static_cast<double>(bytes);
  std::size_t unit = 0;
  // Strictly greater: 1024 bytes stay bytes.
  while (value > 1024 && unit + 1 < unit_keys.size()) {
    value *= 0.0009765625;
    ++unit;
  }
  const std::string unit_text = application::instance()->get_localized_string(unit_keys[unit]);
  return (boost::format("%1$.2f %2%") % value % unit_text).str();
}

}  // namespace parvel
