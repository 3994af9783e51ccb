#include "core/io/archivers/dos_time.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/table.hpp"

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

// Runs each row in UTC so that the words are predictable.
class dos_time : public testing::TestWithParam<dos_case> {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) {
      saved_ = tz;
    }
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  void TearDown() override {
    if (saved_) {
      ::setenv("TZ", saved_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::optional<std::string> saved_;
};

TEST_P(dos_time, converts_both_ways) {
  const auto& c = GetParam();
  const auto words = to_dos_date_time(c.time);
  EXPECT_EQ(words.date, c.date);
  EXPECT_EQ(words.time, c.dos_time);
  EXPECT_EQ(from_dos_date_time(words.date, words.time), c.read_back);
}

constexpr std::time_t y1980 = 315532800;  // 1980-01-01 00:00:00 UTC

INSTANTIATE_TEST_SUITE_P(rows, dos_time,
                         testing::Values(
                             // 2009-06-15 13:45:30
                             dos_case{"even_seconds", 1245073530, 29 << 9 | 6 << 5 | 15,
                                      13 << 11 | 45 << 5 | 15, 1245073530},
                             dos_case{"odd_seconds_round_up", 1245073531, 29 << 9 | 6 << 5 | 15,
                                      13 << 11 | 45 << 5 | 16, 1245073532},
                             dos_case{"first_moment", y1980, 1 << 5 | 1, 0, y1980},
                             dos_case{"before_1980_is_clamped", 0, 1 << 5 | 1, 0, y1980},
                             dos_case{"last_second_of_1979_is_clamped", y1980 - 2, 1 << 5 | 1, 0,
                                      y1980},
                             // 2108-01-01 00:00:00 is beyond the seven year bits.
                             dos_case{"after_2107_is_clamped", 4354819200, 127 << 9 | 12 << 5 | 31,
                                      23 << 11 | 59 << 5 | 29, 4354819198}),
                         test_support::row_name());

}  // namespace
