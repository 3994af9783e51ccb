#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.hpp"

namespace test_support {

struct tool_result {
  // -1 when the tool could not be run or did not exit.
  int exit_code = -1;
  std::string output;
};

// Runs a tool that knows nothing of our code, such as curl or openssl, and
// keeps its standard output (and its errors, when asked).
tool_result run_tool(std::vector<std::string> arguments, bool keep_errors = false);

// A program started in the background, its standard output read line by
// line; killed and reaped with the object if still running.
class running_program {
 public:
  explicit running_program(const std::vector<std::string>& arguments);
  ~running_program();
  running_program(const running_program&) = delete;
  running_program& operator=(const running_program&) = delete;

  // The next line of its output without the line end; nullopt when none
  // came within limit or the output ended.
  std::optional<std::string> read_line(std::chrono::milliseconds limit);
  void signal(int number) const;
  // Its exit code once it has ended within limit; -1 otherwise.
  int wait(std::chrono::milliseconds limit);

 private:
  // Adds to pending_ what comes before the deadline: 1 when some came, 0 once
  // the output has ended, -1 at the deadline.
  int read_more(std::chrono::steady_clock::time_point deadline);

  pid_t child_ = -1;
  FILE* output_ = nullptr;
  std::string pending_;
};

// Bytes that differ from position to position, so a lost or repeated piece shows.
std::string pattern(std::size_t size);

// A certificate authority and a server certificate signed by it, made by the
// openssl tool in a temporary folder that goes with the object.
class test_certificates {
 public:
  // alt_names: the server certificate's subjectAltName, such as "IP:127.0.0.1".
  explicit test_certificates(const std::string& alt_names = "IP:127.0.0.1");

  std::string ca_file() const { return folder_.file("ca.pem"); }
  std::string certificate_file() const { return folder_.file("server.pem"); }
  std::string key_file() const { return folder_.file("server.key"); }

 private:
  void openssl(std::vector<std::string> arguments) const;

  temp_folder folder_;
};

}  // namespace test_support
