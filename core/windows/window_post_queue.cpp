#include "core/windows/window_post_queue.hpp"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <system_error>
#include <utility>

#include "core/log/logger.hpp"
#include "core/log/severity.hpp"

namespace core {

std::shared_ptr<const void> window_post_queue::make_liveness() {
  return std::make_shared<char>();
}

window_post_queue::window_post_queue() : wake_fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (wake_fd_ < 0) {
    throw std::system_error(errno, std::generic_category(), "cannot create an eventfd");
  }
}

window_post_queue::~window_post_queue() {
  ::close(wake_fd_);
}

bool window_post_queue::post(const token& receiver, work call) {
  return push(receiver, 0, std::move(call));
}

bool window_post_queue::post_replacing(const token& receiver, int kind, work call) {
  return push(receiver, kind, std::move(call));
}

bool window_post_queue::push(const token& receiver, int kind, work call) {
  work replaced;  // freed after the lock is released: its copies may be anything
  bool was_empty = false;
  {
    const std::lock_guard lock(mutex_);
    const void* const key = receiver.lock().get();
    if (key == nullptr) {
      replaced = std::move(call);
      return false;
    }
    if (kind != 0) {
      for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->receiver != key)
          continue;
        if (it->kind == kind) {
          replaced = std::exchange(it->call, std::move(call));
          return true;
        }
        break;
      }
    }
    was_empty = entries_.empty();
    entries_.push_back(entry{next_number_++, key, kind, std::move(call)});
  }
  // The runner wakes again by itself when calls remain after a run.
  if (was_empty)
    wake();
  return true;
}

std::size_t window_post_queue::run_pending() {
  drain_wake_fd();
  std::size_t run = 0;
  std::uint64_t end;
  {
    const std::lock_guard lock(mutex_);
    end = next_number_;
  }
  for (;;) {
    entry next;
    {
      const std::lock_guard lock(mutex_);
      if (entries_.empty() || entries_.front().number >= end)
        break;
      next = std::move(entries_.front());
      entries_.pop_front();
    }
    ++run;
    try {
      next.call();
    } catch (const std::exception& e) {
      core::log::write(core::log::severity::error, "cannot run a posted call: %s", e.what());
    } catch (...) {
      core::log::write(core::log::severity::error, "cannot run a posted call: unknown exception");
    }
  }
  bool remaining;
  {
    const std::lock_guard lock(mutex_);
    remaining = !entries_.empty();
  }
  if (remaining)
    wake();
  return run;
}

void window_post_queue::retire(std::shared_ptr<const void>& liveness) {
  std::deque<entry> dropped;
  {
    const std::lock_guard lock(mutex_);
    const void* const key = liveness.get();
    liveness.reset();
    for (auto it = entries_.begin(); it != entries_.end();) {
      if (it->receiver == key) {
        dropped.push_back(std::move(*it));
        it = entries_.erase(it);
      } else {
        ++it;
      }
    }
  }
}

void window_post_queue::wake() const {
  const std::uint64_t one = 1;
  // Only fails when the counter is near overflow, and then it is readable.
  [[maybe_unused]] const auto written = ::write(wake_fd_, &one, sizeof one);
}

void window_post_queue::drain_wake_fd() const {
  std::uint64_t count;
  [[maybe_unused]] const auto read = ::read(wake_fd_, &count, sizeof count);
}

}  // namespace core
