#include "core/atomic_file.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/scoped_handle.hpp"

namespace core {

namespace {

int write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno;
    }
    done += static_cast<std::size_t>(written);
  }
  return 0;
}

}  // namespace

int write_file_atomically(const std::string& path, const std::string& bytes) {
  std::string temporary = path + ".XXXXXX";
  scoped_handle fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd) {
    return errno;
  }
  int error = write_all(fd.get(), bytes);
  if (error == 0 && ::fsync(fd.get()) != 0) {
    error = errno;
  }
  if (error == 0 && ::close(fd.release()) != 0) {
    error = errno;
  }
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  // The rename itself reaches the disk with the folder.
  const std::string folder_path = std::filesystem::path(path).parent_path();
  const scoped_handle folder(::open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder) {
    ::fsync(folder.get());
  }
  return 0;
}

}  // namespace core
