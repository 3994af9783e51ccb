#include "engine/controller/job_dispatch.hpp"

#include "engine/app/application.hpp"

namespace parvel {

void submit_job(const std::shared_ptr<core::threading::async_req>& job) {
  application::instance()->dispatcher().submit(job);
}

void cancel_jobs(const std::string& name) {
  application::instance()->dispatcher().cancel(name);
}

void cancel_all_jobs_and_wait() {
  application::instance()->dispatcher().cancel_all_and_wait();
}

}  // namespace parvel
