#include "ui/app/termination_signal.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <iterator>
#include <stdexcept>

namespace parvel {

namespace {

// A closing terminal sends SIGHUP and Ctrl+C SIGINT: each ends the program
// as SIGTERM does, after the shut-down that removes what it keeps.
constexpr int watched_signals[] = {SIGTERM, SIGHUP, SIGINT};

int pipe_fds[2] = {-1, -1};
struct sigaction previous_actions[std::size(watched_signals)]{};

void on_signal(int) {
  const int saved_errno = errno;
  const char byte = 1;
  // A full pipe already holds a pending wake-up: losing this byte is harmless.
  [[maybe_unused]] const ssize_t written = ::write(pipe_fds[1], &byte, 1);
  errno = saved_errno;
}

}  // namespace

termination_signal::termination_signal() {
  if (pipe_fds[0] != -1) {
    throw std::logic_error("cannot watch the termination signals twice");
  }
  if (::pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) == -1) {
    throw std::runtime_error("cannot create the signal pipe");
  }
  notifier_ = std::make_unique<QSocketNotifier>(pipe_fds[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &termination_signal::on_readable);

  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(watched_signals); ++i) {
    ::sigaction(watched_signals[i], &action, &previous_actions[i]);
  }
}

termination_signal::~termination_signal() {
  for (std::size_t i = 0; i < std::size(watched_signals); ++i) {
    ::sigaction(watched_signals[i], &previous_actions[i], nullptr);
  }
  notifier_.reset();
  for (int& fd : pipe_fds) {
    ::close(fd);
    fd = -1;
  }
}

void termination_signal::on_readable() {
  char bytes[64];
  while (::read(pipe_fds[0], bytes, sizeof bytes) > 0) {
  }
  Q_EMIT terminated();
}

}  // namespace parvel
