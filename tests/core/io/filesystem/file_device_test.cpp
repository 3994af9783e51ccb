#include <gtest/gtest.h>

#include <string>

#include "core/io/filesystem/file_sink.hpp"
#include "core/io/filesystem/file_source.hpp"
#include "core/io/stream_failure.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using core::io::stream_failure;
using core::io::filesystem::file_sink;
using core::io::filesystem::file_source;
using std::ios_base;

TEST(file_device, offsets_beyond_4_gib_survive) {
  test_support::temp_folder folder;
  const auto path = folder.file("sparse.bin");
  constexpr boost::iostreams::stream_offset far = 5LL << 30;
  file_sink sink(path);
  EXPECT_EQ(sink.seek(far, ios_base::beg), far);
  sink.write("x", 1);
  sink.close();
  EXPECT_EQ(file_source(path).seek(0, ios_base::end), far + 1);
}

TEST(file_device, failures_have_their_texts) {
  using test_support::expect_error;
  test_support::temp_folder folder;
  expect_error<stream_failure>([&] { file_source source(folder.file("missing")); }, "bad open");
  char byte;
  file_source source;
  expect_error<stream_failure>([&] { source.read(&byte, 1); }, "bad device");
  file_sink sink(folder.file("closed"));
  sink.close();
  expect_error<stream_failure>([&] { sink.write("x", 1); }, "bad device");
  file_source folder_as_file(folder.path().string());
  expect_error<stream_failure>([&] { folder_as_file.read(&byte, 1); }, "bad read");
  expect_error<stream_failure>([&] { file_source(folder.file("closed")).seek(-1, ios_base::beg); },
                               "bad seek");
}

}  // namespace
