#include "core/shell_open.hpp"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
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

// The opener's wait status once the reaper has it; shared with the reaper,
// which may outlive the caller.
struct exit_report {
  std::mutex mutex;
  std::condition_variable ended;
  std::optional<int> status;
};

std::shared_ptr<exit_report> reap_in_background(pid_t child) {
  auto report = std::make_shared<exit_report>();
  try {
    std::thread([child, report] {
      int status = 0;
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
      {
        std::lock_guard lock(report->mutex);
        report->status = status;
      }
      report->ended.notify_all();
    }).detach();
  } catch (const std::system_error& e) {
    // The opener runs; only its exit status stays unread until we exit.
    log::write(log::severity::warning, "Cannot wait for the child process %d: %s", child, e.what());
  }
  return report;
}

// Only standard input, output and error pass to the child: descriptors that
// a library opened without close-on-exec stay with us too.
class spawn_actions {
 public:
  spawn_actions() {
    if (const int error = ::posix_spawn_file_actions_init(&actions_)) {
      throw_spawn_error(error);
    }
    if (const int error = ::posix_spawn_file_actions_addclosefrom_np(&actions_, 3)) {
      ::posix_spawn_file_actions_destroy(&actions_);
      throw_spawn_error(error);
    }
  }
  spawn_actions(const spawn_actions&) = delete;
  spawn_actions& operator=(const spawn_actions&) = delete;
  ~spawn_actions() { ::posix_spawn_file_actions_destroy(&actions_); }

  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

std::shared_ptr<exit_report> spawn_opener(const std::string& target) {
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
  const spawn_actions actions;
  pid_t child = 0;
  const int error = ::posix_spawnp(&child, program.c_str(), actions.get(), nullptr, argv, environ);
  if (error != 0) {
    throw_spawn_error(error);
  }
  return reap_in_background(child);
}

std::string status_text(int status) {
  if (WIFSIGNALED(status)) {
    return "the opener ended by signal " + std::to_string(WTERMSIG(status));
  }
  return "the opener exited with status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

void shell_open(const std::string& target) {
  if (!target.empty()) {
    spawn_opener(target);
  }
}

void shell_open(const std::string& target, std::chrono::milliseconds bound) {
  if (target.empty()) {
    return;
  }
  const std::shared_ptr<exit_report> report = spawn_opener(target);
  std::unique_lock lock(report->mutex);
  if (!report->ended.wait_for(lock, bound, [&] { return report->status.has_value(); })) {
    return;
  }
  const int status = *report->status;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("Cannot create a child process.: " + status_text(status));
  }
}

void set_shell_open_program(const std::string& program) {
  std::lock_guard lock(program_mutex);
  open_program = program;
}

}  // namespace core
