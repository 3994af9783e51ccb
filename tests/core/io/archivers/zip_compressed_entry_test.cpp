#include "core/io/archivers/zip_compressed_entry.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "core/io/archivers/zip_compress.hpp"
#include "tests/core/io/archivers/zip_test_support.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

namespace archivers = core::io::archivers;

// Noise behind a run of zeros just long enough that the data deflates to its
// own size plus extra bytes: the edge of the give-up rule.
std::string deflating_to_own_size_plus(std::size_t extra) {
  const std::string noise = test_support::random_data(20000, 7);
  for (std::size_t zeros = 0; zeros < 1000; ++zeros) {
    const std::string data = std::string(zeros, '\0') + noise.substr(zeros);
    if (test_support::raw_deflate(data).size() == data.size() + extra) {
      return data;
    }
  }
  ADD_FAILURE() << "no data deflates to its size + " << extra;
  return {};
}

struct compression_case {
  const char* name;
  std::string data;
  std::uint16_t method;
};

class compressed_entry_test : public testing::TestWithParam<compression_case> {};

// Whatever the data, the archive holds the same entry either way.
TEST_P(compressed_entry_test, copies_what_the_streaming_writer_writes) {
  const auto& c = GetParam();
  test_support::temp_folder folder;
  const auto streamed = folder.file("streamed.zip"), copied = folder.file("copied.zip");
  {
    archivers::zip_compress archive(streamed);
    std::istringstream in(c.data);
    archivers::append_stream("/photos/IMG.jpg", in, archive);
    archive.close();
  }
  const std::atomic<bool> stop{false};
  const auto entry = archivers::compress_entry(c.data, stop);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->method, c.method);
  EXPECT_EQ(entry->size, c.data.size());
  {
    archivers::zip_compress archive(copied);
    archivers::append_compressed("/photos/IMG.jpg", *entry, archive);
    archive.close();
  }
  const auto expected = test_support::python_raw_entries(streamed);
  ASSERT_EQ(expected.size(), 1u);
  EXPECT_EQ(expected[0].method, c.method);
  EXPECT_EQ(test_support::python_raw_entries(copied), expected);
  test_support::unzip_test(copied);
}

INSTANTIATE_TEST_SUITE_P(
    rows, compressed_entry_test,
    testing::Values(compression_case{"empty", "", 0}, compression_case{"five_bytes", "hello", 0},
                    compression_case{"six_bytes_that_deflate", "aaaaaa", 8},
                    compression_case{"six_bytes_that_do_not", "a1b2c3", 0},
                    compression_case{"text_of_several_pieces",
                                     test_support::text_data(3 * 1024 * 1024 + 17), 8},
                    compression_case{"noise", test_support::random_data(70000, 1), 0},
                    compression_case{"deflating_to_its_own_size", deflating_to_own_size_plus(0), 8},
                    compression_case{"deflating_one_byte_over", deflating_to_own_size_plus(1), 0}),
    test_support::row_name());

TEST(compressed_entry, stops_when_asked_and_is_refused_by_an_encrypted_archive) {
  EXPECT_FALSE(archivers::compress_entry(test_support::text_data(100), std::atomic<bool>{true}));
  test_support::temp_folder folder;
  archivers::zip_compress archive(folder.file("locked.zip"));
  archive.set_password("s3cret");
  const std::atomic<bool> stop{false};
  const auto entry = archivers::compress_entry("photo bytes", stop);
  test_support::expect_error<std::runtime_error>(
      [&] { archivers::append_compressed("a/IMG.jpg", *entry, archive); },
      "Cannot append the stream 'a/IMG.jpg' to the archive: cannot copy compressed data into an "
      "encrypted archive");
}

}  // namespace
