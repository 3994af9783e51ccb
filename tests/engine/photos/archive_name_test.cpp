#include "engine/photos/archive_name.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>

namespace {

using limits = std::numeric_limits<std::int32_t>;

// The name is fixed; a negative counter keeps its sign, which is safe in a file name.
TEST(archive_name, prints_any_stored_counter_in_decimal) {
  struct row {
    const char* sender;
    std::int32_t counter;
    const char* name;
  };
  for (const row& r : {row{"photos@x.example", 3, "photos-2026-12-05-3.zip"},
                       row{"photos@x.example", -5, "photos-2026-12-05--5.zip"},
                       row{"@x.example", limits::min(), "-2026-12-05--2147483648.zip"},
                       row{"", limits::max(), "unknown-2026-12-05-2147483647.zip"}}) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(parvel::archive_name_for(r.sender, "2026-12-05", r.counter), r.name);
  }
}

// Senders whose names end like a date or a counter, with counters either side of 0.
TEST(archive_name, every_sender_and_counter_gives_a_name_of_its_own_that_is_recognised) {
  const char* const senders[] = {"a@x",          "a-@x",      "a--@x",          "a-1@x",
                                 "-@x",          "@x",        "a-2026-12-05@x", "a-2026-12-05-@x",
                                 "12:00 <me>@x", "no at sign"};
  const std::int32_t counters[] = {limits::min(), -10, -5, -1, 0, 1, 5, 10, limits::max()};
  std::set<std::string> names;
  std::size_t made = 0;
  for (const char* sender : senders) {
    for (const std::int32_t counter : counters) {
      for (const char* date : {"2026-12-05", "2026-12-06"}) {
        const std::string name = parvel::archive_name_for(sender, date, counter);
        EXPECT_TRUE(parvel::is_archive_name(name)) << name << " would stay for ever";
        names.insert(name);
        ++made;
      }
    }
  }
  EXPECT_EQ(names.size(), made) << "two sends share an archive name";
}

}  // namespace
