#include "tests/service/test_tools.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace test_support {

tool_result run_tool(std::vector<std::string> arguments, bool keep_errors) {
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot create a pipe");
  }
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  if (keep_errors) {
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t child = 0;
  const bool spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  tool_result result;
  char buffer[4096];
  for (ssize_t count; (count = read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
    result.output.append(buffer, static_cast<std::size_t>(count));
  }
  close(pipe_ends[0]);
  int status = 0;
  if (spawned && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  }
  return result;
}

running_program::running_program(std::vector<std::string> arguments) {
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot create a pipe");
  }
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int spawned = posix_spawn(&child_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  output_ = pipe_ends[0];
  if (spawned != 0) {
    child_ = -1;
    throw std::runtime_error("cannot start " + arguments.front());
  }
}

running_program::~running_program() {
  if (child_ > 0) {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
  close(output_);
}

std::optional<std::string> running_program::read_line(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd ready{output_, POLLIN, 0};
    if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
      return std::nullopt;
    }
    char buffer[4096];
    const ssize_t count = read(output_, buffer, sizeof buffer);
    if (count <= 0) {
      return std::nullopt;
    }
    pending_.append(buffer, static_cast<std::size_t>(count));
  }
}

void running_program::signal(int number) const {
  kill(child_, number);
}

int running_program::wait(std::chrono::milliseconds limit) {
  // The output ends when the program does: wait for that, keeping what is
  // still to be read, then reap it.
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (char buffer[4096];;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd ready{output_, POLLIN, 0};
    if (child_ <= 0 || left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
      return -1;
    }
    const ssize_t count = read(output_, buffer, sizeof buffer);
    if (count <= 0) {
      break;
    }
    pending_.append(buffer, static_cast<std::size_t>(count));
  }
  int status = 0;
  const bool reaped = waitpid(child_, &status, 0) == child_;
  child_ = -1;
  return reaped && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
