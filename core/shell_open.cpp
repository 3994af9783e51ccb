#include "core/shell_open.hpp"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/log/logger.hpp"
#include "core/log/severity.hpp"
#include "core/system_error.hpp"

extern char** environ;

namespace core {

namespace {

std::mutex program_mutex;
std::string open_program = "xdg-open";

std::string current_program() {
  std::lock_guard lock(program_mutex);
  return open_program;
}

bool is_ascii_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "scheme://...", the scheme a letter followed by letters, digits, "+", "-", ".".
bool is_address(const std::string& target) {
  const std::size_t end = target.find("://");
  if (end == std::string::npos || end == 0 || !is_ascii_letter(target[0])) {
    return false;
  }
  return std::all_of(
      target.begin() + 1, target.begin() + static_cast<std::ptrdiff_t>(end), [](char c) {
        return is_ascii_letter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
      });
}

[[noreturn]] void throw_spawn_error(int error) {
  throw windows_system_error("Cannot create a child process.", static_cast<std::uint32_t>(error));
}

void reap_in_background(pid_t child) {
  try {
    std::thread([child] {
      int status = 0;
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error& e) {
    // The opener runs; only its exit status stays unread until we exit.
    log::write(log::severity::warning, "Cannot wait for the child process %d: %s", child, e.what());
  }
}

}  // namespace

void shell_open(const std::string& target) {
  if (target.empty()) {
    return;
  }
  std::string argument = target;
  if (!is_address(target)) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
      throw_spawn_error(errno);
    }
    // The opener would read a leading "-" as an option of its own.
    if (target.starts_with('-')) {
      argument = "./" + target;
    }
  }
  const std::string program = current_program();
  char* const argv[] = {const_cast<char*>(program.c_str()), argument.data(), nullptr};
  pid_t child = 0;
  const int error = ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ);
  if (error != 0) {
    throw_spawn_error(error);
  }
  reap_in_background(child);
}

void set_shell_open_program(const std::string& program) {
  std::lock_guard lock(program_mutex);
  open_program = program;
}

}  // namespace core
