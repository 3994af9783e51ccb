#pragma once

#include <string>

namespace core {

// Replaces the file at path with bytes through a temporary file in the same
// folder and a rename, so a crash leaves either the old file or the new one,
// never a mix. The new file is private to the user (mode 0600). Returns 0, or
// the errno value of the failure, after which the old file is untouched.
int write_file_atomically(const std::string& path, const std::string& bytes);

}  // namespace core
