#include "core/io/archivers/zip_records.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/core/io/archivers/zip_test_support.hpp"
#include "tests/support/table.hpp"

namespace {

using core::io::archivers::zip_entry;

using test_support::u16_at;
using test_support::u32_at;

struct record_case {
  const char* name;
  std::function<void(zip_entry&)> change;
  unsigned flags;
  const char* local_extra;    // hex
  const char* central_extra;  // hex
  std::uint32_t local_sizes;  // both size fields of the local header
};

class entry_records : public testing::TestWithParam<record_case> {};

TEST_P(entry_records, carry_the_flags_and_extra_fields) {
  const auto& c = GetParam();
  zip_entry entry;
  entry.name = "a.jpg";
  entry.size = entry.compressed_size = 100;
  c.change(entry);
  const auto local = core::io::archivers::local_header(entry);
  const auto central = core::io::archivers::central_header(entry);

  EXPECT_EQ(u16_at(local, 4), 20u);
  EXPECT_EQ(u16_at(local, 6), c.flags);
  EXPECT_EQ(u32_at(local, 18), c.local_sizes);
  EXPECT_EQ(u32_at(local, 22), c.local_sizes);
  EXPECT_EQ(local.substr(30 + u16_at(local, 26)), test_support::from_hex(c.local_extra));

  EXPECT_EQ(u16_at(central, 4), 0x0B14u);  // made under NTFS, version 2.0
  EXPECT_EQ(u16_at(central, 8), c.flags);
  EXPECT_EQ(u32_at(central, 38), entry.external_attributes());
  EXPECT_EQ(central.substr(46 + u16_at(central, 28), u16_at(central, 30)),
            test_support::from_hex(c.central_extra));
}

INSTANTIATE_TEST_SUITE_P(
    rows, entry_records,
    testing::Values(
        record_case{"default", [](zip_entry&) {}, 0x0800, "", "", 100},
        record_case{"three_times", [](zip_entry& e) { e.mtime = 1, e.atime = 2, e.ctime = 3; },
                    0x0800, "55540d0007010000000200000003000000",
                    "5554050007"
                    "01000000",
                    100},
        record_case{"access_time_alone", [](zip_entry& e) { e.atime = 2; }, 0x0800,
                    "555405000202000000", "5554010002", 100},
        record_case{"unix_owner", [](zip_entry& e) { e.uid = 1000, e.gid = 100; }, 0x0800,
                    "55780400e8036400", "55780000", 100},
        record_case{"encrypted", [](zip_entry& e) { e.encrypted = true; }, 0x0809, "", "", 100},
        record_case{"size_of_exactly_0xffffffff", [](zip_entry& e) { e.size = 0xFFFFFFFF; }, 0x0800,
                    "01001000ffffffff000000006400000000000000", "01000800ffffffff00000000",
                    0xFFFFFFFF},
        record_case{"offset_beyond_4_gib",
                    [](zip_entry& e) { e.local_header_offset = 0x100000000; }, 0x0800, "",
                    "010008000000000001000000", 100}),
    test_support::row_name());

}  // namespace
