#include "core/damaged_file.hpp"

#include <cerrno>
#include <cstdio>

#include "core/atomic_file.hpp"
#include "core/log/logger.hpp"
#include "core/log/severity.hpp"

namespace core {

int move_damaged_file_aside(const std::string& path) {
  std::string damaged;
  if (const int error = follow_links(path, damaged)) {
    return error;
  }
  const std::string aside = damaged + ".unreadable";
  if (std::rename(damaged.c_str(), aside.c_str()) != 0) {
    return errno == ENOENT ? 0 : errno;
  }
  log::write(log::severity::warning, "The damaged file '%s' is kept as '%s'.", path, aside);
  return 0;
}

}  // namespace core
