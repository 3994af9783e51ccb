#pragma once

#include <chrono>
#include <string>

namespace core {

// Opens a file or an address with the desktop's opener (xdg-open) and never
// waits for it: the opener gets the target as its one argument, without a
// shell and without expanding anything, and is reaped in the background. It
// inherits no descriptor but standard input, output and error, so an archive
// being written never stays open in what the opener starts. An address
// (scheme://...) passes as it stands; a file that does not exist fails at
// once. An empty target does nothing. Failures throw windows_system_error
// "Cannot create a child process." with the errno value.
void shell_open(const std::string& target);

// The same, but waits up to bound for the opener to end: one that exits with
// a failure within it throws std::runtime_error "Cannot create a child
// process.: ..." with its status; one still running counts as started. For
// callers that must know that something opened the target.
void shell_open(const std::string& target, std::chrono::milliseconds bound);

// The program that opens targets; tests put their own in place. Any thread.
void set_shell_open_program(const std::string& program);

}  // namespace core
