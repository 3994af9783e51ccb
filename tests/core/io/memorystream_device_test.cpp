#include "core/io/memorystream_device.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/io/stream_failure.hpp"
#include "tests/support/expect_error.hpp"

namespace {

using core::io::memorystream_device_impl;
using core::io::stream_failure;

// Seeking back in a large buffer and writing once reserved only position +
// count and then copied the whole old block into it.
TEST(memory_buffer, write_after_seeking_back_in_a_large_buffer_keeps_every_byte) {
  memorystream_device_impl buffer;
  const std::string large(4 * 1024 * 1024, 'a');
  buffer.write(large.data(), static_cast<std::streamsize>(large.size()));
  buffer.seek(0, std::ios_base::beg);
  buffer.write("b", 1);
  EXPECT_EQ(buffer.position(), 1);
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), "b" + large.substr(1));
}

TEST(memory_buffer, seeks_within_the_data_only) {
  memorystream_device_impl buffer;
  char out[8];
  EXPECT_EQ(buffer.read(out, 8), -1);
  buffer.write("0123456789", 10);
  EXPECT_EQ(buffer.seek(-4, std::ios_base::cur), 6);
  EXPECT_EQ(buffer.read(out, 8), 4);
  for (const auto offset : {std::int64_t{1}, std::int64_t{-11}, INT64_MIN}) {
    test_support::expect_error<stream_failure>([&] { buffer.seek(offset, std::ios_base::end); },
                                               "bad seek offset");
  }
  EXPECT_EQ(buffer.position(), 10);
  test_support::expect_error<stream_failure>(
      [&] { buffer.seek(0, static_cast<std::ios_base::seekdir>(42)); }, "bad seek direction");
}

}  // namespace
