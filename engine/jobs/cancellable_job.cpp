#include "engine/jobs/cancellable_job.hpp"

namespace parvel {

void cancellable_job::cancel() {
  std::lock_guard lock(cancel_mutex_);
  if (!cancellable_) {
    return;
  }
  canceled_ = true;
  abort_work();
}

void cancellable_job::throw_if_canceled() const {
  if (canceled_) {
    throw job_canceled();
  }
}

void cancellable_job::end_cancellation() {
  std::lock_guard lock(cancel_mutex_);
  throw_if_canceled();
  cancellable_ = false;
}

}  // namespace parvel
