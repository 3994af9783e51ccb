#include "core/atomic_file.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include "core/scoped_handle.hpp"

namespace core {

namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows in one path.
constexpr int max_links = 40;

int replace_file(const std::string& target, const std::string& bytes, bool keep_old_mode) {
  file_replacement file(target);
  int error = file.open();
  if (error == 0 && keep_old_mode) {
    error = file.keep_old_mode();
  }
  if (error == 0) {
    error = file.write(bytes);
  }
  return error == 0 ? file.commit() : error;
}

}  // namespace

file_replacement::file_replacement(std::string target) : target_(std::move(target)) {}

file_replacement::~file_replacement() {
  if (fd_) {
    fail(0);
  }
}

int file_replacement::fail(int error) {
  fd_.reset();
  ::unlink(temporary_.c_str());
  return error;
}

int file_replacement::open() {
  temporary_ = target_ + ".XXXXXX";
  fd_.reset(::mkostemp(temporary_.data(), O_CLOEXEC));
  return fd_ ? 0 : errno;
}

int file_replacement::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_.get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

int file_replacement::keep_old_mode() {
  struct stat old {};
  if (::stat(target_.c_str(), &old) != 0) {
    return 0;
  }
  return ::fchmod(fd_.get(), old.st_mode & 0777) == 0 ? 0 : fail(errno);
}

int file_replacement::commit() {
  if (::fsync(fd_.get()) != 0 || ::close(fd_.release()) != 0 ||
      ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    return fail(errno);
  }
  // The rename itself reaches the disk with the folder.
  const std::string folder_path = fs::path(target_).parent_path();
  const scoped_handle folder(::open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder) {
    ::fsync(folder.get());
  }
  return 0;
}

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
