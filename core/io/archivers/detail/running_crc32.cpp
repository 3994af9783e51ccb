#include "core/io/archivers/detail/running_crc32.hpp"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace core::io::archivers::detail {

void running_crc32::update(const char* data, std::size_t count) {
  while (count > 0) {
    const auto n =
        static_cast<uInt>(std::min<std::size_t>(count, std::numeric_limits<uInt>::max()));
    value_ = static_cast<std::uint32_t>(::crc32(value_, reinterpret_cast<const Bytef*>(data), n));
    data += n;
    count -= n;
  }
}

}  // namespace core::io::archivers::detail
