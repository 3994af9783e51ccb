#pragma once

#include <atomic>
#include <mutex>

#include "core/threading/async_req.hpp"

namespace parvel {

// Ends a run that was asked to stop; no std::exception, so that no step's
// own catch can swallow it.
struct job_canceled {};

// A job that remembers a cancel: the run asks canceled() between its steps,
// and abort_work() stops what blocks it meanwhile. A run may declare a point
// after which a cancel no longer changes its outcome.
class cancellable_job : public core::threading::async_req {
 public:
  using async_req::async_req;

  // Any thread, while the dispatcher's lock is held: sets the flag, then
  // aborts the work under way, unless the run has passed the point of no return.
  void cancel() final;

 protected:
  bool canceled() const { return canceled_; }
  // Set by cancel(): for work that looks for a stop on its own.
  const std::atomic<bool>& cancel_flag() const { return canceled_; }
  // Throws job_canceled once a cancel was asked.
  void throw_if_canceled() const;
  // Run's thread, once what a cancel could stop has happened (an answer has
  // arrived): cancel() changes nothing from here on, and a failure is
  // reported as one even when a cancel came meanwhile, too late to cause it.
  void settle_outcome();

  // canceled_signal when a cancel was asked before the outcome was settled,
  // else failed_signal with the arguments: after a cancel, whatever failed is
  // the cancel's doing.
  template <class Canceled, class Failed, class... Args>
  void report_failure_to(Canceled& canceled_signal, Failed& failed_signal, const Args&... args) {
    if (canceled() && !settled_) {
      canceled_signal();
    } else {
      failed_signal(args...);
    }
  }

 private:
  // Only sets flags or aborts blocking operations; never waits for the run.
  virtual void abort_work() noexcept {}

  std::mutex cancel_mutex_;
  // Written by the run's thread under the mutex, read by cancel() under it.
  bool settled_ = false;
  std::atomic<bool> canceled_{false};
};

}  // namespace parvel
