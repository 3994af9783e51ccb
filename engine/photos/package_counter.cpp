#include "engine/photos/package_counter.hpp"

#include <limits>

namespace parvel {

std::int32_t next_package_counter(std::int32_t counter) noexcept {
  return counter == std::numeric_limits<std::int32_t>::max() ? 0 : counter + 1;
}

}  // namespace parvel
