#pragma once

#include <QByteArray>
#include <optional>

#include "core/command_line.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"

namespace parvel {

// The process entry: drops the capabilities, installs the terminate handler,
// sets up the log and the application object, runs application_run, stops
// imaging, and undoes the rest in reverse order; on Wayland it ends the
// process there instead, with the same code. Returns the exit code.
int app_main(int argc, char** argv);

// Keeps the program to one instance, shows the main frame, starts imaging
// into imaging (in the background, once the frame is shown), starts the update
// check and runs the loop. After the loop it cancels every job and waits for
// it (ending the process when one does not end within a few seconds), and
// removes the archive a send kept for its Retry. -1 when another instance
// runs (imaging not started, nothing removed: the archive would be the
// other's); otherwise the loop's exit code, 1 once the frame has gone. Needs
// the QApplication. startup_id: the startup notification id a launcher gave
// (DESKTOP_STARTUP_ID), which a second start passes on.
int application_run(const core::command_line_options& options,
                    std::optional<core::graphics::gdip::gdiplus_background_startup>& imaging,
                    const QByteArray& startup_id = {});

}  // namespace parvel
