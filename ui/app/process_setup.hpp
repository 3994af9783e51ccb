#pragma once

namespace parvel {

// Drops every capability of the process (effective, permitted, inheritable
// and ambient), and empties the bounding set where the process may (it needs
// CAP_SETPCAP), so that no child regains one at exec: the program needs none.
// Throws core::system_error "Cannot adjust token privileges." when the system
// refuses.
void drop_token_privileges();

// Installed with std::set_terminate: logs "term_func() was called by
// terminate()." and ends the process at once with exit code 255, running no
// destructor of static objects (the job dispatcher's would wait for jobs that
// may never end).
[[noreturn]] void terminate_handler();

}  // namespace parvel
