#include "tests/support/fake_opener.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "core/shell_open.hpp"
#include "tests/support/shell.hpp"

namespace test_support {

namespace fs = std::filesystem;

fake_opener::fake_opener(const std::string& tail) {
  const std::string fifo = folder_.file("reports");
  EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Open before any run, so the script's write to the FIFO never blocks.
  reports_.reset(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  // A writer of our own, so that between runs the FIFO never reads as hung up.
  writer_.reset(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  EXPECT_TRUE(reports_ && writer_);
  const std::string script = folder_.file("opener");
  write_file(script, "#!/bin/sh\nfor fd in /proc/$$/fd/*; do readlink \"$fd\"; done > " +
                         quoted(folder_.file("inherited")) + "\nprintf '%s|%s' \"$#\" \"$1\" > " +
                         quoted(fifo) + "\n" + tail + "\n");
  fs::permissions(script, fs::perms::owner_all);
  core::set_shell_open_program(script);
}

fake_opener::~fake_opener() {
  core::set_shell_open_program("xdg-open");
}

std::string fake_opener::next_opened() {
  pollfd ready{reports_.get(), POLLIN, 0};
  if (::poll(&ready, 1, 20000) != 1) {
    return "nothing opened";
  }
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = ::read(reports_.get(), buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

std::vector<std::string> fake_opener::inherited_files() const {
  std::istringstream lines(read_file(folder_.file("inherited")));
  std::vector<std::string> files;
  for (std::string line; std::getline(lines, line);) {
    files.push_back(line);
  }
  return files;
}

}  // namespace test_support
