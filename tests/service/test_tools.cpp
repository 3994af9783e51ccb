#include "tests/service/test_tools.hpp"

#include <fcntl.h>
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
