#include "engine/controller/job_dispatch.hpp"

#include "core/log/logger.hpp"
#include "engine/app/application.hpp"

namespace parvel {

void submit_job(const std::shared_ptr<core::threading::async_req>& job) {
  application::instance()->dispatcher().submit(job);
}

void cancel_jobs(const std::string& name) {
  application::instance()->dispatcher().cancel(name);
}

bool cancel_all_jobs_and_wait(std::chrono::milliseconds limit) {
  const std::vector<std::string> running =
      application::instance()->dispatcher().cancel_all_and_wait(limit);
  for (const std::string& name : running) {
    core::log::write(core::log::severity::error,
                     "%s did not end within %d ms of its cancel; the program ends without it", name,
                     limit.count());
  }
  return running.empty();
}

}  // namespace parvel
