#pragma once

#include <string>

namespace core {

// Replaces the file at path with bytes through a temporary file in the same
// folder and a rename, so a crash leaves either the old file or the new one,
// never a mix. The new file is private to the user (mode 0600); whatever was
// at path, a symbolic link included, is replaced, never followed. Returns 0,
// or the errno value of the failure, after which the old file is untouched.
int write_file_atomically(const std::string& path, const std::string& bytes);

// The same for a file the user keeps (settings, contacts), which may be a
// symbolic link into a folder of the user's own: the link stays, and the file
// it leads to is replaced in its own folder, created when the link leads
// nowhere yet. A file that was there keeps its mode; a new one gets 0600.
int write_stored_file(const std::string& path, const std::string& bytes);

// The file path names once the symbolic links at its end are followed (those
// of its folders are left to the system). A link leading nowhere gives the
// file it would create. Returns 0, or the errno value of the failure (ELOOP
// for a circle of links).
int follow_links(const std::string& path, std::string& target);

}  // namespace core
