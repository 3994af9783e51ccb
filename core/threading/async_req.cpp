#include "core/threading/async_req.hpp"

#include <exception>

#include "core/log/logger.hpp"

namespace core::threading {

void async_req::run_guarded() {
  async_status status = async_status::finished;
  try {
    run();
  } catch (const std::exception& e) {
    status = async_status::failed;
    log::write(log::severity::error, "%s failed: '%s'", name_, e.what());
  } catch (...) {
    status = async_status::failed;
    log::write(log::severity::error, "%s failed: '%s'", name_, "unknown exception");
  }
  // Move out first: the completion may destroy this job and with it the member.
  if (auto completion = std::move(completion_)) {
    completion(status);
  }
}

}  // namespace core::threading
