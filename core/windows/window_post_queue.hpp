#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace core {

// The calls posted to the windows of one thread, in the order they were
// posted (across windows too). Any thread posts; the windows' thread runs
// them. Each call carries its window's liveness token: a call whose window is
// gone is freed and never run. A post wakes the runner by an eventfd, which
// the windows' thread watches.
class window_post_queue {
 public:
  using work = std::function<void()>;
  // A window's liveness: alive while the window holds the shared pointer
  // that the token observes.
  using token = std::weak_ptr<const void>;
  static std::shared_ptr<const void> make_liveness();

  // Throws std::system_error when no eventfd can be made.
  window_post_queue();
  ~window_post_queue();
  window_post_queue(const window_post_queue&) = delete;
  window_post_queue& operator=(const window_post_queue&) = delete;

  // Readable while calls are waiting; run_pending() drains it.
  int wake_fd() const { return wake_fd_; }

  // Any thread. Queues work for the window of receiver; false (and the work
  // freed on this thread) when that window is already gone.
  bool post(const token& receiver, work call);

  // Any thread. As post(), but while a call of this nonzero kind is the last
  // one queued for the window, the newer call takes its place (and keeps its
  // turn): a burst of progress values costs the window one call. Any other
  // call queued for the window after it ends the replacing.
  bool post_replacing(const token& receiver, int kind, work call);

  // The windows' thread. Runs the calls queued before it started, oldest
  // first; calls posted meanwhile wait for
  // the next wake. An exception escaping a call is logged, never thrown on:
  // it would unwind through the event loop. Returns the number of calls run.
  std::size_t run_pending();

  // The windows' thread, from a window's destructor: ends the window's
  // liveness (no post for it is queued after this) and frees every call still
  // queued for it.
  void retire(std::shared_ptr<const void>& liveness);

 private:
  struct entry {
    std::uint64_t number;
    const void* receiver;  // retire() removes a window's calls before it dies
    int kind;
    work call;
  };

  bool push(const token& receiver, int kind, work call);
  void wake() const;
  void drain_wake_fd() const;

  int wake_fd_ = -1;
  std::mutex mutex_;
  std::deque<entry> entries_;      // guarded by mutex_
  std::uint64_t next_number_ = 0;  // guarded by mutex_
};

}  // namespace core
