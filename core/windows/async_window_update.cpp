#include "core/windows/async_window_update.hpp"

#include <QObject>
#include <QSocketNotifier>

namespace core {

namespace detail {

// The Qt side of a thread's queue: runs its calls when its eventfd becomes
// readable. Lives while a window of the thread lives and dies on that thread.
class thread_post_runner {
 public:
  thread_post_runner()
      : queue_(std::make_shared<window_post_queue>()),
        notifier_(queue_->wake_fd(), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated,
                     [queue = queue_.get()] { queue->run_pending(); });
  }

  const std::shared_ptr<window_post_queue>& queue() const { return queue_; }

  static std::shared_ptr<thread_post_runner> of_this_thread() {
    thread_local std::weak_ptr<thread_post_runner> current;
    auto runner = current.lock();
    if (!runner) {
      runner = std::make_shared<thread_post_runner>();
      current = runner;
    }
    return runner;
  }

 private:
  std::shared_ptr<window_post_queue> queue_;
  QSocketNotifier notifier_;
};

}  // namespace detail

windows_async_window_update::windows_async_window_update()
    : thread_id_(std::this_thread::get_id()),
      runner_(detail::thread_post_runner::of_this_thread()),
      queue_(runner_->queue()),
      liveness_(window_post_queue::make_liveness()),
      token_(liveness_) {}

windows_async_window_update::~windows_async_window_update() {
  queue_->retire(liveness_);
}

bool windows_async_window_update::post(work call) const {
  return queue_->post(token_, std::move(call));
}

bool windows_async_window_update::post_replacing(int kind, work call) const {
  return queue_->post_replacing(token_, kind, std::move(call));
}

windows_async_window_update::poster windows_async_window_update::make_poster() const {
  return poster(queue_, token_);
}

}  // namespace core
