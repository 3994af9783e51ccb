#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/threading/async_req.hpp"
#include "core/threading/concur_rt/crt_req.hpp"

namespace core::threading::concur_rt {

// Starts every job on a thread of its own, keeps each by name until its run
// has ended, cancels by name, and on destruction cancels every job and waits
// until all have ended and their threads are joined.
// submit, cancel, cancel_all_and_wait and the destructor belong to one
// controlling thread.
class crt_req_dispatch {
 public:
  // Starts a thread running the procedure; throws when it cannot.
  using thread_starter = std::function<std::thread(std::function<void()> procedure)>;

  crt_req_dispatch();
  // For tests: threads come from start_thread.
  explicit crt_req_dispatch(thread_starter start_thread);
  ~crt_req_dispatch();
  crt_req_dispatch(const crt_req_dispatch&) = delete;
  crt_req_dispatch& operator=(const crt_req_dispatch&) = delete;

  // Registers the job and starts it; does not wait. A job is submitted once.
  // When its thread cannot be started the job is not registered and the
  // failure reaches the caller.
  void submit(const std::shared_ptr<async_req>& job);
  // Calls cancel() of every registered job of that name; waits for nothing.
  void cancel(const std::string& name);
  void cancel_all();
  // Cancels every job and returns once all have ended and their threads
  // are joined, or once limit has passed: a job held in the kernel (a file
  // on a stalled network mount) sees no cancel. Returns the names of the jobs
  // still running then, in name order, and leaves them running: a later wait
  // or the destructor waits for them. Jobs may be submitted again afterwards.
  std::vector<std::string> cancel_all_and_wait(std::chrono::milliseconds limit);

 private:
  using deadline = std::optional<std::chrono::steady_clock::time_point>;

  void on_done(crt_req* record, async_status status);
  void remove(crt_req* record);
  void join_finished_threads();
  // Joins every thread once the registry is empty; the names still
  // registered when the deadline passes first.
  std::vector<std::string> wait_and_join(deadline until);

  const thread_starter start_thread_;
  std::mutex lock_;
  std::condition_variable empty_;
  // Equal names keep their order of submission.
  std::multimap<std::string, std::unique_ptr<crt_req>> registry_;
  std::vector<std::thread> threads_;
  std::vector<std::thread::id> finished_threads_;
};

}  // namespace core::threading::concur_rt
