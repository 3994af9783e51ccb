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

namespace {

[[noreturn]] void refused() {
  throw core::windows_system_error("Cannot adjust token privileges.",
                                   static_cast<std::uint32_t>(errno));
}

// A child started as root (xdg-open, an installer) gets back at exec whatever
// the bounding set still holds. Shrinking it takes CAP_SETPCAP, so it goes
// before the other sets.
void drop_bounding_set() {
  for (cap_value_t cap = 0; cap < cap_max_bits(); ++cap) {
    if (cap_drop_bound(cap) != 0) {
      // An unprivileged process may not shrink it: it stays as the parent left it.
      if (errno == EPERM) {
        return;
      }
      refused();
    }
  }
}

}  // namespace

void drop_token_privileges() {
  drop_bounding_set();
  const std::unique_ptr<std::remove_pointer_t<cap_t>, int (*)(void*)> none(cap_init(), cap_free);
  if (!none || cap_set_proc(none.get()) != 0) {
    refused();
  }
  // Kernels without ambient capabilities refuse the call; there is nothing to drop then.
  if (prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0 && errno != EINVAL) {
    refused();
  }
}

void terminate_handler() {
  core::log::write(core::log::severity::debug, "term_func() was called by terminate().");
  std::fflush(nullptr);
  // Not exit(): static destructors would wait for the running jobs.
  std::_Exit(255);
}

}  // namespace parvel
