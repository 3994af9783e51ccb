#include "engine/jobs/update_install.hpp"

#include <chrono>
#include <stdexcept>

#include "core/log/logger.hpp"
#include "core/shell_open.hpp"

namespace parvel {

namespace {

// An opener that cannot handle the installer (none registered, none
// installed) says so at once; one still running by then has started it.
constexpr std::chrono::seconds opener_failure_bound{2};

}  // namespace

void update_install::run() {
  try {
    // Success ends the program: with nothing opened the user would lose the
    // update and the program alike.
    if (path_.empty()) {
      throw std::invalid_argument("Cannot start the installer: no path given.");
    }
    core::shell_open(path_, opener_failure_bound);
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "update_install failed: '%s'", e.what());
    signal_failed();
    return;
  }
  signal_succeeded();
}

}  // namespace parvel
