#include "core/shell_open.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/io/filesystem/file_sink.hpp"
#include "core/scoped_handle.hpp"
#include "core/system_error.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/fake_opener.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class shell_open_test : public testing::Test {
 protected:
  test_support::temp_folder folder_;
  const fs::path root_ = folder_.path();
  test_support::fake_opener opener_;
};

TEST_F(shell_open_test, file_passes_as_one_argument_without_expansion) {
  const fs::path file = root_ / "$HOME with blank;*";
  test_support::write_file(file.string(), "x");
  core::shell_open(file.string());
  EXPECT_EQ(opener_.next_opened(), "1|" + file.string());
}

TEST_F(shell_open_test, address_passes_as_it_stands) {
  const std::string address = "https://www.lumbrel.example/?q=$HOME&x=`id`";
  core::shell_open(address);
  EXPECT_EQ(opener_.next_opened(), "1|" + address);
}

TEST_F(shell_open_test, relative_name_starting_with_dash_is_no_option) {
  const fs::path previous = fs::current_path();
  fs::current_path(root_);
  test_support::write_file("-x", "x");
  core::shell_open("-x");
  fs::current_path(previous);
  EXPECT_EQ(opener_.next_opened(), "1|./-x");
}

TEST_F(shell_open_test, empty_target_opens_nothing) {
  const std::string marker = folder_.file("marker");
  test_support::write_file(marker, "x");
  core::shell_open("");
  core::shell_open("", 2s);
  core::shell_open(marker);
  EXPECT_EQ(opener_.next_opened(), "1|" + marker) << "the marker's run is the first";
}

// An archive being written must not stay open in the browser or installer
// that the opener starts, whoever opened the file.
TEST_F(shell_open_test, opener_inherits_no_open_file) {
  const std::string archive = folder_.file("archive.zip");
  const std::string leaked = folder_.file("opened without close-on-exec");
  const std::string target = folder_.file("target");
  test_support::write_file(target, "x");
  core::io::filesystem::file_sink sink(archive);
  const core::scoped_handle plain(::open(leaked.c_str(), O_WRONLY | O_CREAT, 0600));
  ASSERT_TRUE(plain);

  core::shell_open(target);
  ASSERT_EQ(opener_.next_opened(), "1|" + target);
  const std::vector<std::string> inherited = opener_.inherited_files();
  EXPECT_FALSE(inherited.empty()) << "the opener lists at least its own output";
  for (const std::string& file : {archive, leaked}) {
    EXPECT_EQ(std::count(inherited.begin(), inherited.end(), file), 0) << file;
  }
}

TEST_F(shell_open_test, failures_throw_at_once) {
  const std::string exists = (root_ / "exists").string();
  test_support::write_file(exists, "x");
  // A bad scheme makes a missing file; a variable is not expanded.
  for (const std::string target : {"1http://x", "$HOME"}) {
    test_support::expect_error<core::windows_system_error>(
        [&] { core::shell_open(target); },
        "Cannot create a child process.: No such file or directory");
  }
  core::set_shell_open_program("no-such-opener-program");
  test_support::expect_error<core::windows_system_error>(
      [&] { core::shell_open(exists); },
      "Cannot create a child process.: No such file or directory");
}

struct waited_case {
  const char* name;
  const char* tail;
  // Empty when the opener counts as started.
  std::string failure;
};

class shell_open_waited : public testing::TestWithParam<waited_case> {};

// The test's own output stays with the test, not with a lingering opener.
constexpr char linger[] = "exec sleep 4 </dev/null >/dev/null 2>&1";

TEST_P(shell_open_waited, reports_an_opener_that_fails_within_the_bound) {
  const waited_case& c = GetParam();
  test_support::temp_folder folder;
  const std::string target = folder.file("setup.run");
  test_support::write_file(target, "x");
  test_support::fake_opener opener(c.tail);
  if (c.failure.empty()) {
    EXPECT_NO_THROW(core::shell_open(target, 2s));
  } else {
    test_support::expect_error<std::runtime_error>([&] { core::shell_open(target, 2s); },
                                                   c.failure);
  }
  EXPECT_EQ(opener.next_opened(), "1|" + target);
}

INSTANTIATE_TEST_SUITE_P(
    openers, shell_open_waited,
    testing::Values(waited_case{"exits_at_once", "exit 0", ""},
                    waited_case{"still_running_after_the_bound", linger, ""},
                    waited_case{"finds_no_program_for_the_file", "exit 3",
                                "Cannot create a child process.: the opener exited with status 3"},
                    waited_case{"is_killed", "kill -9 $$",
                                "Cannot create a child process.: the opener ended by signal 9"}),
    test_support::row_name());

}  // namespace
