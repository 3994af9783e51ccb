#pragma once

#include <functional>
#include <memory>

#include "core/threading/async_req.hpp"

namespace core::threading::concur_rt {

// The dispatcher's record of one submission; it holds a share of the job.
class crt_req {
 public:
  explicit crt_req(std::shared_ptr<async_req> job) : job_(std::move(job)) {}

  async_req& job() const { return *job_; }
  void set_done(std::function<void(crt_req*, async_status)> done) { done_ = std::move(done); }
  void on_complete(async_status status) {
    if (done_) {
      done_(this, status);
    }
  }

 private:
  std::shared_ptr<async_req> job_;
  std::function<void(crt_req*, async_status)> done_;
};

}  // namespace core::threading::concur_rt
