#pragma once

#include <optional>
#include <string>

class QUrl;

namespace parvel {

// The file-system path a dropped address names, with the bytes the file
// manager percent-encoded: names need not be UTF-8, and a path decoded into
// text would name another file or none. Nothing for an address that names no
// local file: another scheme or host, a relative or empty path, or an
// encoded NUL, which would cut the path short at the system call.
std::optional<std::string> dropped_path(const QUrl& url);

}  // namespace parvel
