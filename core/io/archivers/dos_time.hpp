#pragma once

#include <cstdint>
#include <ctime>

namespace core::io::archivers {

// A local time in the two 16-bit words of zip records: two-second steps,
// years 1980 to 2107.
struct dos_date_time {
  std::uint16_t date = 0;
  std::uint16_t time = 0;
};

// Odd seconds round up. Times outside what the words can hold become the
// nearest they can: 1980-01-01 00:00:00 or 2107-12-31 23:59:58.
dos_date_time to_dos_date_time(std::time_t time);

// Interprets the words as local time, the system deciding on daylight saving.
std::time_t from_dos_date_time(std::uint16_t date, std::uint16_t time);

}  // namespace core::io::archivers
