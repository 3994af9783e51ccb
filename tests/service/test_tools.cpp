#include "tests/service/test_tools.hpp"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "tests/support/shell.hpp"

namespace test_support {

tool_result run_tool(std::vector<std::string> arguments, bool keep_errors) {
  std::string command;
  for (const auto& argument : arguments) {
    command += quoted(argument) + " ";
  }
  tool_result result;
  result.exit_code = run(command + (keep_errors ? "2>&1" : "2>/dev/null"), &result.output);
  return result;
}

running_program::running_program(const std::vector<std::string>& arguments) {
  // The shell tells its process id, then becomes the program.
  std::string command = "echo $$; exec";
  for (const auto& argument : arguments) {
    command += " " + quoted(argument);
  }
  output_ = popen((command + " 2>/dev/null").c_str(), "r");
  const auto pid = output_ != nullptr ? read_line(std::chrono::seconds(20)) : std::nullopt;
  if (!pid) {
    if (output_ != nullptr) {
      pclose(output_);
    }
    throw std::runtime_error("cannot start " + arguments.front());
  }
  child_ = std::stoi(*pid);
}

running_program::~running_program() {
  if (output_ != nullptr) {
    kill(child_, SIGKILL);
    pclose(output_);
  }
}

int running_program::read_more(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  pollfd ready{fileno(output_), POLLIN, 0};
  if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
    return -1;
  }
  char buffer[4096];
  const ssize_t count = read(fileno(output_), buffer, sizeof buffer);
  if (count <= 0) {
    return 0;
  }
  pending_.append(buffer, static_cast<std::size_t>(count));
  return 1;
}

std::optional<std::string> running_program::read_line(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  auto end = pending_.find('\n');
  while (end == std::string::npos) {
    if (read_more(deadline) <= 0) {
      return std::nullopt;
    }
    end = pending_.find('\n');
  }
  std::string line = pending_.substr(0, end);
  pending_.erase(0, end + 1);
  return line;
}

void running_program::signal(int number) const {
  kill(child_, number);
}

int running_program::wait(std::chrono::milliseconds limit) {
  // The output ends when the program does: wait for that, then reap it.
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int got = 0;
  while (output_ != nullptr && (got = read_more(deadline)) > 0) {
  }
  if (output_ == nullptr || got < 0) {
    return -1;
  }
  const int status = pclose(output_);
  output_ = nullptr;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string pattern(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  }
  return text;
}

test_certificates::test_certificates(const std::string& alt_names) {
  openssl({"req", "-x509", "-new", "-keyout", folder_.file("ca.key"), "-out", ca_file(), "-subj",
           "/CN=Lumbrel Test CA", "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
           "keyUsage=critical,keyCertSign,cRLSign"});
  openssl({"req", "-new", "-keyout", key_file(), "-out", folder_.file("server.csr"), "-subj",
           "/CN=Lumbrel Test Server"});
  write_file(folder_.file("server.ext"), "subjectAltName=" + alt_names +
                                             "\nbasicConstraints=CA:FALSE"
                                             "\nextendedKeyUsage=serverAuth\n");
  openssl({"x509", "-req", "-in", folder_.file("server.csr"), "-CA", ca_file(), "-CAkey",
           folder_.file("ca.key"), "-CAcreateserial", "-out", certificate_file(), "-days", "2",
           "-extfile", folder_.file("server.ext")});
}

void test_certificates::openssl(std::vector<std::string> arguments) const {
  const std::string command = arguments.front();
  if (command == "req") {
    // Elliptic-curve keys: made in milliseconds.
    arguments.insert(arguments.end(), {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                       "-nodes", "-days", "2"});
  }
  arguments.insert(arguments.begin(), "openssl");
  const tool_result result = run_tool(arguments, true);
  if (result.exit_code != 0) {
    throw std::runtime_error("openssl " + command + " failed: " + result.output);
  }
}

}  // namespace test_support
