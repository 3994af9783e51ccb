#include "engine/photos/temp_folder.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/system_error.hpp"

namespace parvel {

std::string get_temp_folder() {
  const char* base = std::getenv("TMPDIR");
  std::string folder = base != nullptr && base[0] == '/' ? base : "/var/tmp";
  while (folder.size() > 1 && folder.back() == '/') {
    folder.pop_back();
  }
  folder += "/lumbrel-send-photo-" + std::to_string(::getuid());

  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw core::windows_system_error("Cannot get the temp path", static_cast<std::uint32_t>(errno));
  }
  // Another user may have made the name first, in a folder everyone can write.
  struct stat status {};
  if (::lstat(folder.c_str(), &status) != 0) {
    throw core::windows_system_error("Cannot get the temp path", static_cast<std::uint32_t>(errno));
  }
  if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid() || (status.st_mode & 077) != 0) {
    throw core::windows_system_error("Cannot get the temp path", EACCES);
  }
  return folder;
}

}  // namespace parvel
