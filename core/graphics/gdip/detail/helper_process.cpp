#include "core/graphics/gdip/detail/helper_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/graphics/gdip/detail/status_failure.hpp"

extern char** environ;

namespace core::graphics::gdip::detail {

namespace {

// How long a stop waits at most for a helper that writes nothing meanwhile.
constexpr std::chrono::milliseconds stop_check_interval{50};

// Frees the spawn settings on every path.
struct spawn_settings {
  spawn_settings() {
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
  }
  ~spawn_settings() {
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
  }
  spawn_settings(const spawn_settings&) = delete;
  spawn_settings& operator=(const spawn_settings&) = delete;

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
};

// error: why, as an errno value (0 unknown), so that a log tells a missing
// helper program from a process limit.
[[noreturn]] void cannot_start(int error = 0) {
  throw status_failure(status::win32_error, error);
}

}  // namespace

helper_process::helper_process(const std::string& program, int input,
                               std::chrono::milliseconds time_limit,
                               const threading::stop_flag& stop)
    : deadline_(std::chrono::steady_clock::now() + time_limit), stop_(stop) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    cannot_start(errno);
  }
  output_.reset(ends[0]);
  const scoped_handle child_output(ends[1]);

  spawn_settings settings;
  // dup2 clears close-on-exec on the copies; everything else of ours, from
  // whichever thread or library, is closed in the child before it runs.
  sigset_t no_signals;
  sigemptyset(&no_signals);
  if (::posix_spawn_file_actions_adddup2(&settings.actions, input, STDIN_FILENO) != 0 ||
      ::posix_spawn_file_actions_adddup2(&settings.actions, child_output.get(), STDOUT_FILENO) !=
          0 ||
      ::posix_spawn_file_actions_addopen(&settings.actions, STDERR_FILENO, "/dev/null", O_WRONLY,
                                         0) != 0 ||
      ::posix_spawn_file_actions_addclosefrom_np(&settings.actions, STDERR_FILENO + 1) != 0 ||
      ::posix_spawnattr_setsigmask(&settings.attributes, &no_signals) != 0 ||
      ::posix_spawnattr_setflags(&settings.attributes, POSIX_SPAWN_SETSIGMASK) != 0) {
    cannot_start();
  }
  char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
  // posix_spawn returns its error rather than setting errno.
  const int error = program.empty() ? ENOENT
                                    : ::posix_spawn(&child_, program.c_str(), &settings.actions,
                                                    &settings.attributes, argv, environ);
  if (error != 0) {
    child_ = -1;
    cannot_start(error);
  }
}

helper_process::~helper_process() {
  reap(true);
}

bool helper_process::read(void* buffer, std::size_t size) {
  auto* bytes = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t count = read_some(bytes, size);
    if (count <= 0) {
      return false;
    }
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

bool helper_process::succeeded() {
  char extra = 0;
  const bool ended = read_some(&extra, 1) == 0;
  reap(!ended);
  return ended && WIFEXITED(exit_status_) && WEXITSTATUS(exit_status_) == 0;
}

ssize_t helper_process::read_some(void* buffer, std::size_t size) {
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
    if (left.count() <= 0 || stop_) {
      return -1;
    }
    pollfd ready{output_.get(), POLLIN, 0};
    const int polled =
        ::poll(&ready, 1, static_cast<int>(std::min(left, stop_check_interval).count()));
    if (polled < 0 && errno != EINTR) {
      return -1;
    }
    if (polled > 0) {
      const ssize_t count = ::read(output_.get(), buffer, size);
      if (count >= 0 || errno != EINTR) {
        return count;
      }
    }
  }
}

void helper_process::reap(bool kill_first) noexcept {
  if (child_ < 0) {
    return;
  }
  if (kill_first) {
    ::kill(child_, SIGKILL);
  }
  while (::waitpid(child_, &exit_status_, 0) < 0 && errno == EINTR) {
  }
  child_ = -1;
}

}  // namespace core::graphics::gdip::detail
