#include "core/shell_open.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/scoped_handle.hpp"
#include "core/system_error.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;

// An opener that writes its one argument into a FIFO the test reads.
class shell_open_test : public testing::Test {
 protected:
  void SetUp() override {
    const fs::path fifo = root_ / "opened";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    reader_.reset(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(reader_);
    const fs::path opener = root_ / "opener";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" << fifo.string()
                          << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    core::set_shell_open_program(opener.string());
  }
  void TearDown() override { core::set_shell_open_program("xdg-open"); }

  // What the opener received: "<argument count>|<first argument>".
  std::string opened() {
    pollfd ready{reader_.get(), POLLIN, 0};
    if (::poll(&ready, 1, 20000) != 1) {
      return "nothing opened";
    }
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(reader_.get(), buffer, sizeof buffer)) > 0;) {
      text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
  }

  test_support::temp_folder folder_;
  const fs::path root_ = folder_.path();
  core::scoped_handle reader_;
};

TEST_F(shell_open_test, file_passes_as_one_argument_without_expansion) {
  const fs::path file = root_ / "$HOME with blank;*";
  std::ofstream(file) << "x";
  core::shell_open(file.string());
  EXPECT_EQ(opened(), "1|" + file.string());
}

TEST_F(shell_open_test, address_passes_as_it_stands) {
  const std::string address = "https://www.lumbrel.example/?q=$HOME&x=`id`";
  core::shell_open(address);
  EXPECT_EQ(opened(), "1|" + address);
}

TEST_F(shell_open_test, relative_name_starting_with_dash_is_no_option) {
  const fs::path previous = fs::current_path();
  fs::current_path(root_);
  std::ofstream("-x") << "x";
  core::shell_open("-x");
  fs::current_path(previous);
  EXPECT_EQ(opened(), "1|./-x");
}

TEST_F(shell_open_test, empty_target_opens_nothing) {
  core::shell_open("");
  pollfd ready{reader_.get(), POLLIN, 0};
  EXPECT_EQ(::poll(&ready, 1, 0), 0);
}

TEST_F(shell_open_test, failures_throw_at_once) {
  const std::string exists = (root_ / "exists").string();
  std::ofstream(exists) << "x";
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

}  // namespace
