#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>

#include "core/scoped_handle.hpp"
#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip::detail {

// A helper program run as a child: input becomes its standard input, its
// standard output comes to us through a pipe, its standard error goes to
// /dev/null, and it inherits no other descriptor. It has time_limit from its
// start to finish, or until stop is set; then reading fails, and the child is
// killed. The child is always reaped, at the latest by the destructor, which
// kills it first when it still runs. One thread at a time.
class helper_process {
 public:
  // Throws status_failure(win32_error) when the program cannot be started.
  helper_process(const std::string& program, int input, std::chrono::milliseconds time_limit,
                 const threading::stop_flag& stop = threading::never_stopped);
  ~helper_process();
  helper_process(const helper_process&) = delete;
  helper_process& operator=(const helper_process&) = delete;

  // Reads exactly size bytes of the output; false when it ends sooner, the
  // time is up or reading fails.
  bool read(void* buffer, std::size_t size);

  // Waits for the output's end and the child's exit: true when it wrote
  // nothing more and exited with 0.
  bool succeeded();

 private:
  // Up to size bytes once output is ready; 0 at its end, -1 on failure,
  // when the time is up or on a stop.
  ssize_t read_some(void* buffer, std::size_t size);
  void reap(bool kill_first) noexcept;

  std::chrono::steady_clock::time_point deadline_;
  const threading::stop_flag& stop_;
  scoped_handle output_;
  pid_t child_ = -1;
  int exit_status_ = -1;
};

}  // namespace core::graphics::gdip::detail
