#pragma once

#include <cstdint>

namespace parvel {

// The package counter after a successful send. The counter comes from the
// user's config file and may hold any 32-bit value: past the largest the
// numbers go on from 0, as they do each day.
std::int32_t next_package_counter(std::int32_t counter) noexcept;

}  // namespace parvel
