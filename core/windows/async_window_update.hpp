#pragma once

#include <functional>
#include <memory>
#include <thread>
#include <type_traits>
#include <utility>

#include "core/windows/window_post_queue.hpp"

namespace core {

namespace detail {
class thread_post_runner;
}

// Mix-in base of the windows that receive calls from other threads (job
// signals). A window connects each job signal through relay(), in its
// constructor, and keeps the connection scoped:
//
//   send_page::send_page() {
//     connections_.emplace_back(hub.on_photo_upload_failed.connect(
//         relay(&send_page::on_send_failed)));
//     connections_.emplace_back(hub.on_photo_upload_progress.connect(
//         relay(&send_page::on_photo_upload_progress, upload_progress_call)));
//   }
//
// The handler then runs on the window's thread only, in the order the job
// raised its events, and only while the window lives. A job can be inside
// the slot while the window is being destroyed (a scoped connection stops
// later calls, not one under way): off the window's thread the slot touches
// nothing of the window. A handler that compared thread_id() and posted
// itself would read the window there.
//
// One queue serves every window of a thread. Construct on a thread that runs
// a Qt event loop (the user-interface thread).
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

  // Queues the call for the window's thread; false when it cannot be queued
  // (the window is being destroyed). Any thread that knows the window object
  // still exists: a job's thread cannot, and goes through relay() or a poster.
  bool post(work call) const;

  // Any thread. As post(), but replaces the window's last queued call when
  // that one was posted with the same nonzero kind and nothing was queued for
  // the window after it (progress values coalesce; other calls keep order).
  bool post_replacing(int kind, work call) const;

  poster make_poster() const;

  // A slot for a job signal: on the window's thread it calls handler at
  // once; elsewhere it posts handler with copies of the signal's arguments,
  // replacing an unrun call of the same nonzero kind (see post_replacing).
  // handler is the window's member function or a callable; either is called
  // on the window's thread only.
  template <class Handler>
  auto relay(Handler handler, int kind = 0) const;
  template <class Window, class... Params>
  auto relay(void (Window::*handler)(Params...), int kind = 0);

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

template <class Handler>
auto windows_async_window_update::relay(Handler handler, int kind) const {
  // Runs on the job's thread, where the window may be going away: it holds
  // only copies (the poster outlives the window).
  return [handler = std::move(handler), to_window = make_poster(), window_thread = thread_id_,
          kind](const auto&... args) {
    if (std::this_thread::get_id() == window_thread) {
      handler(args...);
      return;
    }
    work call = [handler, ... copies = args] { handler(copies...); };
    if (kind == 0)
      to_window(std::move(call));
    else
      to_window.replacing(kind, std::move(call));
  };
}

template <class Window, class... Params>
auto windows_async_window_update::relay(void (Window::*handler)(Params...), int kind) {
  static_assert(std::is_base_of_v<windows_async_window_update, Window>);
  Window* const window = static_cast<Window*>(this);
  return relay([window, handler](const auto&... args) { (window->*handler)(args...); }, kind);
}

}  // namespace core
