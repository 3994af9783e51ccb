#include "core/io/archivers/detail/little_endian.hpp"

#include "core/io/stream_failure.hpp"

namespace core::io::archivers::detail {

std::string_view record_reader::bytes(std::size_t count) {
  if (count > data_.size()) {
    throw stream_failure("bad read");
  }
  const auto front = data_.substr(0, count);
  data_.remove_prefix(count);
  return front;
}

std::uint64_t record_reader::take(std::size_t width) {
  const auto field = bytes(width);
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    value |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(field[i])) << (8 * i);
  }
  return value;
}

}  // namespace core::io::archivers::detail
