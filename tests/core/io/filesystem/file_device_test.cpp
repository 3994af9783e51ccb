#include <gtest/gtest.h>

#include <string>

#include "core/io/filesystem/detail/file_impl.hpp"
#include "core/io/filesystem/file_sink.hpp"
#include "core/io/filesystem/file_source.hpp"
#include "core/io/stream_failure.hpp"
#include "tests/core/io/io_test_support.hpp"
#include "tests/support/table.hpp"

namespace {

using core::io::stream_failure;
using core::io::filesystem::file_sink;
using core::io::filesystem::file_source;
using std::ios_base;

struct mode_case {
  const char* name;
  ios_base::openmode mode;
  const char* text;
};

class fopen_mode : public testing::TestWithParam<mode_case> {};

TEST_P(fopen_mode, maps_the_open_mode) {
  EXPECT_EQ(core::io::filesystem::detail::fopen_mode(GetParam().mode), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    rows, fopen_mode,
    testing::Values(mode_case{"out", ios_base::out, "w"},
                    mode_case{"out_binary", ios_base::out | ios_base::binary, "wb"},
                    mode_case{"app_alone", ios_base::app, "a"},
                    mode_case{"in_binary", ios_base::in | ios_base::binary, "rb"},
                    mode_case{"in_out_keeps_the_file", ios_base::in | ios_base::out, "r+"},
                    mode_case{"in_trunc", ios_base::in | ios_base::out | ios_base::trunc, "w+"}),
    test_support::row_name());

TEST(file_device, sink_patches_in_place_and_source_reads_it_back) {
  test_support::temp_folder folder;
  const auto path = folder.file("data.bin");
  {
    file_sink sink(path);
    sink.write("header--body", 12);
    EXPECT_EQ(sink.seek(0, ios_base::beg), 0);
    sink.write("HEADER", 6);
    EXPECT_EQ(sink.seek(0, ios_base::end), 12);
    sink.write("!", 1);
    sink.flush();
  }
  EXPECT_EQ(test_support::read_file(path), "HEADER--body!");

  file_source source(path);
  char buffer[16];
  EXPECT_EQ(source.seek(-5, ios_base::end), 8);
  EXPECT_EQ(source.read(buffer, 16), 5);
  EXPECT_EQ(std::string(buffer, 5), "body!");
  EXPECT_EQ(source.read(buffer, 16), -1);
}

TEST(file_device, offsets_beyond_4_gib_survive) {
  test_support::temp_folder folder;
  const auto path = folder.file("sparse.bin");
  constexpr boost::iostreams::stream_offset far = 5LL << 30;
  file_sink sink(path);
  EXPECT_EQ(sink.seek(far, ios_base::beg), far);
  sink.write("x", 1);
  EXPECT_EQ(sink.seek(0, ios_base::cur), far + 1);
  sink.close();
  file_source source(path);
  EXPECT_EQ(source.seek(-1, ios_base::end), far);
}

TEST(file_device, failures_have_their_texts) {
  test_support::temp_folder folder;
  test_support::expect_error<stream_failure>([&] { file_source source(folder.file("missing")); },
                                             "bad open");
  test_support::expect_error<stream_failure>([&] { file_sink sink(folder.file("no/such/folder")); },
                                             "bad open");

  char byte;
  file_source source;
  test_support::expect_error<stream_failure>([&] { source.read(&byte, 1); }, "bad device");
  file_sink sink(folder.file("closed"));
  sink.close();
  test_support::expect_error<stream_failure>([&] { sink.write("x", 1); }, "bad device");
  test_support::expect_error<stream_failure>([&] { sink.seek(0, ios_base::cur); }, "bad device");

  file_source folder_as_file(folder.path().string());
  test_support::expect_error<stream_failure>([&] { folder_as_file.read(&byte, 1); }, "bad read");
  file_source from_start(folder.file("closed"));
  test_support::expect_error<stream_failure>([&] { from_start.seek(-1, ios_base::beg); },
                                             "bad seek");
}

}  // namespace
