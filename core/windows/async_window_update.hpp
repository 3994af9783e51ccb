#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "core/windows/window_post_queue.hpp"

namespace core {

namespace detail {
class thread_post_runner;
}

// Mix-in base of the windows that receive calls from other threads (job
// signals). A handler that finds itself off the window's thread posts itself
// and returns:
//
//   void send_page::on_progress(int value) {
//     if (!on_window_thread()) {
//       post([this, value] { on_progress(value); });
//       return;
//     }
//     ...
//   }
//
// Posted calls run on the window's thread, in the order they were posted,
// only while the window lives: capturing `this` is safe. One queue serves
// every window of a thread. Construct on a thread that runs a Qt event loop
// (the UI thread).
class windows_async_window_update {
 public:
  using work = std::function<void()>;

  // A copyable handle that posts to the window and outlives it safely: for
  // holders that may post while the window is being destroyed.
  class poster {
   public:
    // Any thread; false when the window is gone.
    bool operator()(work call) const { return queue_->post(receiver_, std::move(call)); }
    bool replacing(int kind, work call) const {
      return queue_->post_replacing(receiver_, kind, std::move(call));
    }

   private:
    friend class windows_async_window_update;
    poster(std::shared_ptr<window_post_queue> queue, window_post_queue::token receiver)
        : queue_(std::move(queue)), receiver_(std::move(receiver)) {}
    std::shared_ptr<window_post_queue> queue_;
    window_post_queue::token receiver_;
  };

  windows_async_window_update(const windows_async_window_update&) = delete;
  windows_async_window_update& operator=(const windows_async_window_update&) = delete;

  // The thread that constructed the window.
  std::thread::id thread_id() const { return thread_id_; }
  bool on_window_thread() const { return std::this_thread::get_id() == thread_id_; }

  // Any thread. Queues the call for the window's thread; false when it
  // cannot be queued (the window is being destroyed).
  bool post(work call) const;

  // Any thread. As post(), but replaces the window's last queued call when
  // that one was posted with the same nonzero kind and nothing was queued for
  // the window after it (progress values coalesce; other calls keep order).
  bool post_replacing(int kind, work call) const;

  poster make_poster() const;

 protected:
  windows_async_window_update();
  // Frees the calls still queued for the window; none of them runs.
  ~windows_async_window_update();

 private:
  std::thread::id thread_id_;
  std::shared_ptr<detail::thread_post_runner> runner_;
  std::shared_ptr<window_post_queue> queue_;
  std::shared_ptr<const void> liveness_;
  const window_post_queue::token token_;  // posts read this, never liveness_
};

}  // namespace core
