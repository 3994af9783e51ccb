#pragma once

#include <string>

namespace core {

// Moves a stored file that could not be read whole out of the way before it
// is written over, so what it held stays for the user to recover: it goes to
// "<file>.unreadable" beside the file its links lead to, replacing an earlier
// one, and the move is logged. A file gone meanwhile needs nothing. Returns 0,
// or the errno value of the failure, after which the file is where it was.
int move_damaged_file_aside(const std::string& path);

}  // namespace core
