#include "engine/jobs/update_install.hpp"

#include <stdexcept>

#include "core/log/logger.hpp"
#include "core/shell_open.hpp"

namespace parvel {

void update_install::run() {
  try {
    // Success ends the program: with nothing opened the user would lose the
    // update and the program alike.
    if (path_.empty()) {
      throw std::invalid_argument("Cannot start the installer: no path given.");
    }
    core::shell_open(path_);
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "update_install failed: '%s'", e.what());
    signal_failed();
    return;
  }
  signal_succeeded();
}

}  // namespace parvel
