#include "ui/app/startup_options.hpp"

namespace parvel {

startup_options decide_startup(const core::command_line_options& options,
                               const window_placement& placement, bool fullscreen,
                               const std::vector<screen_area>& screens, QSize minimum) {
  startup_options decided;
  decided.debug = core::has_command_line_option(options, "debug");
  decided.hidden = core::has_command_line_option(options, "tray");
  decided.frameless = fullscreen;
  decided.geometry = placement_to_window(placement, minimum, screens);
  if (fullscreen) {
    decided.geometry.frame = screens.empty() ? QRect() : screens.front().geometry;
  }
  return decided;
}

}  // namespace parvel
