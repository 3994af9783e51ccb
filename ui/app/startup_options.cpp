#include "ui/app/startup_options.hpp"

namespace parvel {

startup_options decide_startup(const core::command_line_options& options,
                               const window_placement& placement, bool fullscreen,
                               QRect primary_screen, QSize minimum) {
  startup_options decided;
  decided.debug = core::has_command_line_option(options, "debug");
  decided.hidden = core::has_command_line_option(options, "tray");
  decided.frameless = fullscreen;
  decided.geometry = placement_to_window(placement, minimum);
  if (fullscreen) {
    decided.geometry.frame = primary_screen;
  }
  return decided;
}

}  // namespace parvel
