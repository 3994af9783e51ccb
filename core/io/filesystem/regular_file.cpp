#include "core/io/filesystem/regular_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace core::io::filesystem {

namespace {

// Closes the file and leaves the cause in errno, which the close may change.
scoped_handle refuse(scoped_handle& file, int cause) {
  file.reset();
  errno = cause;
  return {};
}

}  // namespace

scoped_handle open_regular_file(const std::string& path) {
  scoped_handle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file) {
    return file;
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) {
    return refuse(file, errno);
  }
  if (!S_ISREG(status.st_mode)) {
    return refuse(file, S_ISDIR(status.st_mode) ? EISDIR : ENOTSUP);
  }
  // Reads of a regular file block as usual; the flag only kept the open from waiting.
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return refuse(file, errno);
  }
  return file;
}

}  // namespace core::io::filesystem
