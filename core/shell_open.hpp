#pragma once

#include <string>

namespace core {

// Opens a file or an address with the desktop's opener (xdg-open) and never
// waits for it: the opener gets the target as its one argument, without a
// shell and without expanding anything, and is reaped in the background. An
// address (scheme://...) passes as it stands; a file that does not exist
// fails at once. An empty target does nothing. Failures throw
// windows_system_error "Cannot create a child process." with the errno value.
void shell_open(const std::string& target);

// The program that opens targets; tests put their own in place. Any thread.
void set_shell_open_program(const std::string& program);

}  // namespace core
