#pragma once

#include "core/command_line.hpp"

namespace parvel {

// The process entry: drops the capabilities, installs the terminate handler,
// sets up the log, the application object and imaging, runs
// application_run, and undoes it in reverse order. Returns the exit code.
int app_main(int argc, char** argv);

// Keeps the program to one instance, shows the main frame, starts the update
// check and runs the loop. -1 when another instance runs; otherwise the
// loop's exit code, 1 once the frame has gone. Needs the QApplication.
int application_run(const core::command_line_options& options);

}  // namespace parvel
