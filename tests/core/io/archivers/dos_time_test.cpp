#include "core/io/archivers/dos_time.hpp"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/support/temp_folder.hpp"

namespace {

using core::io::archivers::from_dos_date_time;
using core::io::archivers::to_dos_date_time;

struct dos_case {
  const char* name;
  std::time_t time;
  std::uint16_t date;
  std::uint16_t dos_time;
  std::time_t read_back;
};

constexpr std::time_t y1980 = 315532800;  // 1980-01-01 00:00:00 UTC

// 2009-06-15 13:45:30 and the ends of the range: DOS words once wrapped in 16 bits.
constexpr dos_case rows[] = {
    {"even_seconds", 1245073530, 29 << 9 | 6 << 5 | 15, 13 << 11 | 45 << 5 | 15, 1245073530},
    {"odd_seconds_round_up", 1245073531, 29 << 9 | 6 << 5 | 15, 13 << 11 | 45 << 5 | 16,
     1245073532},
    {"before_1980_is_clamped", y1980 - 2, 1 << 5 | 1, 0, y1980},
    {"after_2107_is_clamped", 4354819200, 127 << 9 | 12 << 5 | 31, 23 << 11 | 59 << 5 | 29,
     4354819198},
};

TEST(dos_time, converts_both_ways_in_utc) {
  {
    const test_support::scoped_env utc("TZ", "UTC");
    ::tzset();
    for (const auto& row : rows) {
      SCOPED_TRACE(row.name);
      const auto words = to_dos_date_time(row.time);
      EXPECT_EQ(words.date, row.date);
      EXPECT_EQ(words.time, row.dos_time);
      EXPECT_EQ(from_dos_date_time(words.date, words.time), row.read_back);
    }
  }
  ::tzset();
}

}  // namespace
