#include "engine/jobs/cancellable_job.hpp"

namespace parvel {

void cancellable_job::cancel() {
  std::lock_guard lock(cancel_mutex_);
  if (settled_) {
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

void cancellable_job::settle_outcome() {
  std::lock_guard lock(cancel_mutex_);
  settled_ = true;
}

}  // namespace parvel
