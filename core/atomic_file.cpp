#include "core/atomic_file.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/scoped_handle.hpp"

namespace core {

namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows in one path.
constexpr int max_links = 40;

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

// The new file takes the mode of the one it replaces, if any.
int keep_mode(int fd, const std::string& replaced) {
  struct stat old {};
  if (::stat(replaced.c_str(), &old) != 0) {
    return 0;
  }
  return ::fchmod(fd, old.st_mode & 0777) == 0 ? 0 : errno;
}

int replace_file(const std::string& target, const std::string& bytes, bool keep_old_mode) {
  std::string temporary = target + ".XXXXXX";
  scoped_handle fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd) {
    return errno;
  }
  int error = keep_old_mode ? keep_mode(fd.get(), target) : 0;
  if (error == 0) {
    error = write_all(fd.get(), bytes);
  }
  if (error == 0 && ::fsync(fd.get()) != 0) {
    error = errno;
  }
  if (error == 0 && ::close(fd.release()) != 0) {
    error = errno;
  }
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  // The rename itself reaches the disk with the folder.
  const std::string folder_path = fs::path(target).parent_path();
  const scoped_handle folder(::open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder) {
    ::fsync(folder.get());
  }
  return 0;
}

}  // namespace

int follow_links(const std::string& path, std::string& target) {
  fs::path current = path;
  for (int links = 0; links <= max_links; ++links) {
    std::error_code error;
    const fs::path next = fs::read_symlink(current, error);
    // EINVAL: not a link; ENOENT: nothing there yet.
    if (error == std::errc::invalid_argument || error == std::errc::no_such_file_or_directory) {
      target = current.string();
      return 0;
    }
    if (error) {
      return error.value();
    }
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return ELOOP;
}

int write_file_atomically(const std::string& path, const std::string& bytes) {
  return replace_file(path, bytes, false);
}

int write_stored_file(const std::string& path, const std::string& bytes) {
  std::string target;
  if (const int error = follow_links(path, target)) {
    return error;
  }
  return replace_file(target, bytes, true);
}

}  // namespace core
