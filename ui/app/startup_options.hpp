#pragma once

#include <QRect>

#include "core/command_line.hpp"
#include "ui/app/window_geometry.hpp"

namespace parvel {

// What the command line and the saved settings decide about a start.
struct startup_options {
  // "debug": log to standard error, starting with the version line.
  bool debug = false;
  // "tray": the frame is created hidden; everything else starts as usual.
  bool hidden = false;
  // The saved "Fullscreen" flag: a frameless window covering the primary screen.
  bool frameless = false;
  window_geometry geometry;
};

// screens: those present, the primary first; a full-screen start covers the
// primary whole.
startup_options decide_startup(const core::command_line_options& options,
                               const window_placement& placement, bool fullscreen,
                               const std::vector<screen_area>& screens, QSize minimum);

}  // namespace parvel
