#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "core/io/filesystem/file_sink.hpp"
#include "core/io/filesystem/file_source.hpp"
#include "core/io/filesystem/input_file.hpp"
#include "core/io/stream_failure.hpp"
#include "tests/support/descriptors.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/unreadable_file.hpp"

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

// The texts name the system's error, so that a log tells a full disk from a
// failing drive or a missing right.
TEST(file_device, failures_have_their_texts) {
  using test_support::expect_error;
  test_support::temp_folder folder;
  expect_error<stream_failure>([&] { file_source source(folder.file("missing")); },
                               "bad open: No such file or directory");
  char byte;
  file_source source;
  expect_error<stream_failure>([&] { source.read(&byte, 1); }, "bad device");
  file_sink sink(folder.file("closed"));
  sink.close();
  expect_error<stream_failure>([&] { sink.write("x", 1); }, "bad device");
  {
    const test_support::unreadable_file unreadable(folder.file("closed"));
    expect_error<stream_failure>([&] { file_source{folder.file("closed")}; },
                                 "bad open: Permission denied");
  }
  file_source folder_as_file(folder.path().string());
  expect_error<stream_failure>([&] { folder_as_file.read(&byte, 1); }, "bad read: Is a directory");
  expect_error<stream_failure>([&] { file_source(folder.file("closed")).seek(-1, ios_base::beg); },
                               "bad seek: Invalid argument");
  const std::string large(256 * 1024, 'x');  // beyond the device's buffer
  expect_error<stream_failure>(
      [&] {
        file_sink("/dev/full").write(large.data(), static_cast<std::streamsize>(large.size()));
      },
      "bad write: No space left on device");
  file_sink full("/dev/full");
  full.write("x", 1);
  expect_error<stream_failure>([&] { full.flush(); }, "bad write: No space left on device");
}

// A program started while a file is open (a browser, an installer) must not
// inherit it: every way this library opens a file asks for close-on-exec.
TEST(file_device, files_close_on_exec) {
  test_support::temp_folder folder;
  const std::string path = folder.file("archive.zip");
  test_support::write_file(path, "data");
  struct row {
    const char* name;
    std::function<std::shared_ptr<void>()> open;
  };
  const auto sink = [&](ios_base::openmode mode) {
    return [&, mode] { return std::make_shared<file_sink>(path, mode); };
  };
  const row rows[] = {
      {"sink for writing", sink(ios_base::out | ios_base::binary)},
      {"sink for appending", sink(ios_base::app)},
      {"sink for reading and writing", sink(ios_base::in | ios_base::out)},
      {"sink truncating", sink(ios_base::in | ios_base::out | ios_base::trunc)},
      {"source", [&] { return std::make_shared<file_source>(path); }},
      {"input stream", [&] { return std::make_shared<core::io::filesystem::input_file>(path); }},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::shared_ptr<void> open = r.open();
    const auto descriptors = test_support::descriptors_on(path);
    ASSERT_EQ(descriptors.size(), 1u);
    EXPECT_TRUE(descriptors[0].close_on_exec);
  }
  EXPECT_TRUE(test_support::descriptors_on(path).empty());
}

TEST(file_device, input_stream_reads_seeks_and_fails_like_an_ifstream) {
  test_support::temp_folder folder;
  test_support::write_file(folder.file("photo.jpg"), "0123456789");
  core::io::filesystem::input_file in(folder.file("photo.jpg"));
  in.seekg(0, std::ios_base::end);
  EXPECT_EQ(in.tellg(), 10);
  in.seekg(4);
  std::string rest(6, '\0');
  EXPECT_TRUE(in.read(rest.data(), 6));
  EXPECT_EQ(rest, "456789");
  EXPECT_TRUE(core::io::filesystem::input_file(folder.file("missing")).fail());
}

}  // namespace
