#include "core/io/memorystream_device.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/io/stream_failure.hpp"
#include "tests/core/io/io_test_support.hpp"
#include "tests/support/table.hpp"

namespace {

using core::io::memorystream_device_impl;
using core::io::stream_failure;

std::string contents(const memorystream_device_impl& buffer) {
  return std::string(buffer.data(), buffer.size());
}

struct growth_case {
  const char* name;
  std::size_t initial_size;
  std::size_t appended;
  std::size_t capacity;
};

class memory_growth : public testing::TestWithParam<growth_case> {};

TEST_P(memory_growth, reserves_by_the_growth_rule) {
  const auto& c = GetParam();
  memorystream_device_impl buffer;
  const std::vector<char> bytes(c.initial_size + c.appended, 'x');
  if (c.initial_size != 0) {
    buffer.write(bytes.data(), static_cast<std::streamsize>(c.initial_size));
    buffer.reserve(c.initial_size);  // fill the block exactly
    ASSERT_EQ(buffer.capacity(), c.initial_size);
  }
  buffer.write(bytes.data(), static_cast<std::streamsize>(c.appended));
  EXPECT_EQ(buffer.capacity(), c.capacity);
  EXPECT_EQ(buffer.size(), c.initial_size + c.appended);
}

constexpr std::size_t mib = 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    rows, memory_growth,
    testing::Values(growth_case{"first_byte_reserves_256", 0, 1, 256},
                    growth_case{"small_buffer_doubles", 256, 1, 512},
                    growth_case{"large_buffer_grows_by_a_quarter_and_1_mib", 4 * mib, 1, 6 * mib},
                    growth_case{"request_beyond_growth_is_taken_whole", 256, 4096, 4352}),
    test_support::row_name());

TEST(memory_buffer, write_after_seeking_back_in_a_large_buffer_keeps_every_byte) {
  memorystream_device_impl buffer;
  const std::string large(4 * mib, 'a');
  buffer.write(large.data(), static_cast<std::streamsize>(large.size()));
  buffer.seek(0, std::ios_base::beg);
  buffer.write("b", 1);
  EXPECT_EQ(buffer.size(), large.size());
  EXPECT_EQ(buffer.position(), 1);
  EXPECT_EQ(contents(buffer), "b" + large.substr(1));
}

struct seek_case {
  const char* name;
  boost::iostreams::stream_offset offset;
  std::ios_base::seekdir direction;
  boost::iostreams::stream_offset expected;  // -1: "bad seek offset"
};

class memory_seek : public testing::TestWithParam<seek_case> {};

TEST_P(memory_seek, moves_within_the_data_only) {
  const auto& c = GetParam();
  memorystream_device_impl buffer;
  buffer.write("0123456789", 10);
  buffer.seek(4, std::ios_base::beg);
  if (c.expected < 0) {
    test_support::expect_error<stream_failure>([&] { buffer.seek(c.offset, c.direction); },
                                               "bad seek offset");
    EXPECT_EQ(buffer.position(), 4);
  } else {
    EXPECT_EQ(buffer.seek(c.offset, c.direction), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(rows, memory_seek,
                         testing::Values(seek_case{"from_beginning", 7, std::ios_base::beg, 7},
                                         seek_case{"from_current", -4, std::ios_base::cur, 0},
                                         seek_case{"to_the_end", 0, std::ios_base::end, 10},
                                         seek_case{"before_the_start", -5, std::ios_base::cur, -1},
                                         seek_case{"past_the_end", 1, std::ios_base::end, -1},
                                         seek_case{"offset_overflowing", INT64_MAX,
                                                   std::ios_base::cur, -1}),
                         test_support::row_name());

TEST(stream_failure, is_a_stream_error_with_the_bare_text) {
  const stream_failure failure("bad seek");
  EXPECT_STREQ(failure.what(), "bad seek");
  EXPECT_EQ(failure.code(), std::io_errc::stream);
}

TEST(memory_buffer, unknown_seek_direction_fails) {
  memorystream_device_impl buffer;
  test_support::expect_error<stream_failure>(
      [&] { buffer.seek(0, static_cast<std::ios_base::seekdir>(42)); }, "bad seek direction");
}

TEST(memory_buffer, reads_what_is_left_then_reports_the_end) {
  memorystream_device_impl buffer;
  char out[8];
  EXPECT_EQ(buffer.read(out, 8), -1);
  buffer.write("abcde", 5);
  buffer.seek(2, std::ios_base::beg);
  EXPECT_EQ(buffer.read(out, 8), 3);
  EXPECT_EQ(std::string(out, 3), "cde");
  EXPECT_EQ(buffer.read(out, 8), -1);
}

TEST(memory_buffer, set_size_shrinks_the_position_and_grows_with_zeros) {
  memorystream_device_impl buffer;
  buffer.write("abcdef", 6);
  buffer.set_size(3);
  EXPECT_EQ(buffer.position(), 3);
  buffer.set_size(5);
  EXPECT_EQ(contents(buffer), std::string("abc\0\0", 5));
}

TEST(memorystream, copies_of_the_device_share_the_bytes_a_stream_wrote) {
  core::io::memorystream_device device;
  core::io::memorystream stream(device);
  stream << "photo bytes";
  stream.seekp(0);
  stream << 'P';
  stream.flush();
  EXPECT_EQ(std::string(device.data(), device.size()), "Photo bytes");
  stream.seekg(6);
  std::string word;
  stream >> word;
  EXPECT_EQ(word, "bytes");
}

}  // namespace
