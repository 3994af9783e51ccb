#pragma once

#include <functional>
#include <string>

#include "core/threading/async_status.hpp"

namespace core::threading {

// A background job: a name, the whole work in run() and a request to end
// early in cancel(). Jobs are owned through shared pointers and submitted to
// the dispatcher once.
class async_req {
 public:
  explicit async_req(std::string name) : name_(std::move(name)) {}
  virtual ~async_req() = default;
  async_req(const async_req&) = delete;
  async_req& operator=(const async_req&) = delete;

  const std::string& name() const { return name_; }

  // Runs on the job's own worker thread.
  virtual void run() = 0;

  // Runs on another thread, concurrently with run(), while the dispatcher's
  // lock is held: it only sets flags or aborts blocking operations, never
  // waits for run() and never calls the dispatcher.
  virtual void cancel() = 0;

  // Set by the dispatcher on submission.
  void set_completion(std::function<void(async_status)> completion) {
    completion_ = std::move(completion);
  }

  // The worker thread's procedure: run(), then the completion. An exception
  // escaping run() is logged at severity 1 and reported as failed, never
  // thrown on: it would end the process mid-send. Nothing touches the job
  // after the completion, which may destroy it.
  void run_guarded();

 private:
  const std::string name_;
  std::function<void(async_status)> completion_;
};

}  // namespace core::threading
