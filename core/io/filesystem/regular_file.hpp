#pragma once

#include <string>

#include "core/scoped_handle.hpp"

namespace core::io::filesystem {

// The regular file at path (UTF-8), opened for reading, close-on-exec. Empty,
// with errno set, when it cannot be opened or is no regular file: EISDIR for a
// folder, ENOTSUP for anything else (a named pipe, a device, a socket).
//
// The open never waits for a writer or a device: a named pipe put where a
// photo was would otherwise hold the caller in open() for good. The file type
// is read from the open descriptor, so nothing can be swapped in after the test.
scoped_handle open_regular_file(const std::string& path);

}  // namespace core::io::filesystem
