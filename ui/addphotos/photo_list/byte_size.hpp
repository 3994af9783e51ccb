#pragma once

#include <cstdint>
#include <string>

namespace parvel {

// A byte count with two decimals and its localized unit ("2.00 Kb"): divided
// by 1024 while it is more than 1024, up to terabytes. UTF-8.
std::string format_byte_size(std::uint64_t bytes);

}  // namespace parvel
