#include "core/io/spooled_buffer.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>

#include "tests/support/descriptors.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

struct spool_case {
  const char* name;
  std::size_t written;
  bool in_file;
};

class spooled_buffer_case : public testing::TestWithParam<spool_case> {};

// Written in pieces of odd sizes, as an encoder writes.
std::string write_pieces(std::ostream& out, std::size_t count) {
  std::string written;
  for (std::size_t piece = 1; written.size() < count; piece = piece * 3 + 1) {
    std::string bytes(std::min(piece, count - written.size()), '\0');
    for (char& byte : bytes) {
      byte = static_cast<char>('a' + (written.size() + (&byte - bytes.data())) % 26);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    written += bytes;
  }
  return written;
}

// The whole output comes back, from memory or from a file that no name in
// the folder leads to and that goes with the buffer.
TEST_P(spooled_buffer_case, gives_back_every_byte_from_where_it_went) {
  const spool_case& c = GetParam();
  test_support::temp_folder folder;
  const int descriptors = test_support::open_descriptors();
  {
    core::io::spooled_buffer buffer(folder.path().string(), 1000);
    std::ostream out(&buffer);
    const std::string written = write_pieces(out, c.written);
    ASSERT_TRUE(out.flush());
    EXPECT_EQ(buffer.size(), c.written);
    ASSERT_EQ(buffer.in_file(), c.in_file);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    if (c.in_file) {
      std::streambuf& file = buffer.file();
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(&file), {}), written);
      buffer.file();
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(&file), {}), written) << "rewound";
    } else {
      EXPECT_EQ(buffer.take_bytes(), written);
    }
  }
  EXPECT_EQ(test_support::open_descriptors(), descriptors);
}

INSTANTIATE_TEST_SUITE_P(sizes, spooled_buffer_case,
                         testing::Values(spool_case{"nothing", 0, false},
                                         spool_case{"up_to_the_limit", 1000, false},
                                         spool_case{"one_byte_more", 1001, true},
                                         spool_case{"far_beyond", 300000, true}),
                         test_support::row_name());

// An encoder that links its pieces seeks back and overwrites; the bytes come
// back as they stand last, also when the buffer moved to a file meanwhile.
TEST_P(spooled_buffer_case, takes_writes_over_what_was_written) {
  const spool_case& c = GetParam();
  test_support::temp_folder folder;
  core::io::spooled_buffer buffer(folder.path().string(), 1000);
  std::ostream out(&buffer);
  std::string written = write_pieces(out, c.written / 2);
  out.seekp(static_cast<std::streamoff>(written.size() / 3));
  out << "XY";
  out.seekp(0, std::ios_base::end);
  written.replace(written.size() / 3, std::min<std::size_t>(2, written.size()), "XY");
  written += write_pieces(out, c.written - c.written / 2);
  out.seekp(0);
  out << 'Z';
  written.replace(0, 1, "Z");
  EXPECT_FALSE(out.seekp(static_cast<std::streamoff>(written.size() + 1))) << "past the end";
  out.clear();
  ASSERT_TRUE(out.seekp(0, std::ios_base::end).flush());
  EXPECT_EQ(out.tellp(), static_cast<std::streamoff>(written.size()));
  EXPECT_EQ(buffer.size(), written.size());
  const std::string bytes = buffer.in_file() ? std::string(std::istreambuf_iterator<char>(&buffer.file()), {})
                                             : buffer.take_bytes();
  EXPECT_EQ(bytes, written);
}

TEST(spooled_buffer, a_folder_that_cannot_take_the_file_fails_the_stream_with_its_cause) {
  test_support::temp_folder folder;
  core::io::spooled_buffer buffer((folder.path() / "gone").string(), 10);
  std::ostream out(&buffer);
  out << "0123456789";
  ASSERT_TRUE(out.flush());
  out << "more";
  EXPECT_TRUE(out.bad());
  EXPECT_EQ(buffer.write_error(), ENOENT);
  EXPECT_FALSE(buffer.in_file());
}

}  // namespace
