#include "core/io/archivers/zip_compressed_entry.hpp"

#include <gtest/gtest.h>
#include <libdeflate.h>

#include "core/io/archivers/zip_compress.hpp"
#include "tests/core/io/archivers/zip_test_support.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

namespace archivers = core::io::archivers;

// What libdeflate deflates data to at zlib's default level, given all the
// room it may need.
std::size_t libdeflate_size(const std::string& data) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
  std::string out(libdeflate_deflate_compress_bound(compressor, data.size()), '\0');
  const auto size =
      libdeflate_deflate_compress(compressor, data.data(), data.size(), out.data(), out.size());
  libdeflate_free_compressor(compressor);
  return size;
}

// Noise behind a run of zeros just long enough that the data deflates to its
// own size plus extra bytes (a few bytes less when extra is negative): the
// edge of the give-up rule.
std::string deflating_to_own_size_plus(int extra) {
  const std::string noise = test_support::random_data(20000, 7);
  for (std::size_t zeros = 0; zeros < 1000; ++zeros) {
    const std::string data = std::string(zeros, '\0') + noise.substr(zeros);
    if (static_cast<long>(libdeflate_size(data)) == static_cast<long>(data.size()) + extra) {
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

// The entry is deflated unless that does not make it smaller (equal length
// deflates), and every reader finds the data again.
TEST_P(compressed_entry_test, deflates_by_the_writers_rule_into_an_archive_all_readers_accept) {
  const auto& c = GetParam();
  const std::atomic<bool> stop{false};
  const auto entry = archivers::compress_entry(c.data, stop);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->method, c.method);
  EXPECT_EQ(entry->size, c.data.size());
  EXPECT_LE(entry->data.size(), c.data.size());

  test_support::temp_folder folder;
  const auto path = folder.file("copied.zip");
  {
    archivers::zip_compress archive(path);
    archivers::append_compressed("/photos/IMG.jpg", *entry, archive);
    archive.close();
  }
  const auto entries = test_support::python_read(path);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].method, c.method);
  EXPECT_TRUE(entries[0].data == c.data);
  test_support::unzip_test(path);
  test_support::seven_zip_test(path);
  EXPECT_EQ(test_support::bsdtar_list(path), "IMG.jpg\n");
  EXPECT_TRUE(test_support::bsdtar_data(path) == c.data);
}

INSTANTIATE_TEST_SUITE_P(
    rows, compressed_entry_test,
    testing::Values(compression_case{"empty", "", 0}, compression_case{"five_bytes", "hello", 0},
                    compression_case{"a_short_run_of_one_letter", std::string(32, 'a'), 8},
                    compression_case{"six_bytes_that_do_not", "a1b2c3", 0},
                    compression_case{"text_of_several_mebibytes",
                                     test_support::text_data(3 * 1024 * 1024 + 17), 8},
                    compression_case{"noise", test_support::random_data(70000, 1), 0},
                    compression_case{"deflating_to_three_bytes_less",
                                     deflating_to_own_size_plus(-3), 8},
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
