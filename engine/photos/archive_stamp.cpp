#include "engine/photos/archive_stamp.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

namespace parvel {

archive_stamp stamp_of(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot look at the archive " + path);
  }
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::uint64_t>(status.st_size), status.st_mtim.tv_sec,
          status.st_mtim.tv_nsec};
}

}  // namespace parvel
