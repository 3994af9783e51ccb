#include "engine/photos/file_stamp.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

namespace parvel {

namespace {

std::int64_t nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

bool file_stamp::same_bytes(const file_stamp& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified_ns == other.modified_ns;
}

file_stamp stamp_of(const std::string& path, const std::string& named) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot look at " + named);
  }
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::uint64_t>(status.st_size), nanoseconds(status.st_mtim),
          nanoseconds(status.st_ctim)};
}

}  // namespace parvel
