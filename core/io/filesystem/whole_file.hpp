#pragma once

#include <string>

namespace core::io::filesystem {

// Reads the file at path (UTF-8) whole into content, opened close-on-exec.
// Returns 0, or the errno value of the failure, after which content holds
// nothing of the file: ENOENT alone says there is none.
int read_whole_file(const std::string& path, std::string& content);

}  // namespace core::io::filesystem
