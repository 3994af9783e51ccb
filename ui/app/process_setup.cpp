#include "ui/app/process_setup.hpp"

#include <sys/capability.h>
#include <sys/prctl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/log/logger.hpp"
#include "core/system_error.hpp"

namespace parvel {

void drop_token_privileges() {
  const std::unique_ptr<std::remove_pointer_t<cap_t>, int (*)(void*)> none(cap_init(), cap_free);
  if (!none || cap_set_proc(none.get()) != 0) {
    throw core::windows_system_error("Cannot adjust token privileges.",
                                     static_cast<std::uint32_t>(errno));
  }
  // Kernels without ambient capabilities refuse the call; there is nothing to drop then.
  if (prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0 && errno != EINVAL) {
    throw core::windows_system_error("Cannot adjust token privileges.",
                                     static_cast<std::uint32_t>(errno));
  }
}

void terminate_handler() {
  core::log::write(core::log::severity::debug, "term_func() was called by terminate().");
  std::fflush(nullptr);
  // Not exit(): static destructors would wait for the running jobs.
  std::_Exit(255);
}

}  // namespace parvel
