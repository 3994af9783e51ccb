#pragma once

#include <optional>

#include "core/command_line.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"

namespace parvel {

// The process entry: drops the capabilities, installs the terminate handler,
// sets up the log and the application object, runs application_run, cancels
// and waits for every job, stops imaging, and undoes the rest in reverse
// order. Returns the exit code.
int app_main(int argc, char** argv);

// Keeps the program to one instance, shows the main frame, starts imaging
// into imaging (in the background, once the frame is shown), starts the update
// check and runs the loop. -1 when another instance runs (imaging not
// started); otherwise the loop's exit code, 1 once the frame has gone. Needs
// the QApplication.
int application_run(const core::command_line_options& options,
                    std::optional<core::graphics::gdip::gdiplus_background_startup>& imaging);

}  // namespace parvel
