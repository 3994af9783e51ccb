#include "core/io/archivers/detail/running_crc32.hpp"

#include <libdeflate.h>

namespace core::io::archivers::detail {

void running_crc32::update(const char* data, std::size_t count) {
  value_ = libdeflate_crc32(value_, data, count);
}

}  // namespace core::io::archivers::detail
