#include "core/net/http/body_source.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "core/system_error.hpp"

namespace core::net::http {

std::size_t memory_body::read(char* buffer, std::size_t max) {
  const std::size_t count = std::min(max, text_.size() - offset_);
  std::memcpy(buffer, text_.data() + offset_, count);
  offset_ += count;
  return count;
}

file_body::file_body(const std::string& path)
    : path_(path), file_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  struct stat info {};
  if (!file_ || ::fstat(file_.get(), &info) != 0) {
    throw windows_system_error("cannot open the file '" + path_ + "'",
                               static_cast<std::uint32_t>(errno));
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
  ::posix_fadvise(file_.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
}

std::size_t file_body::read(char* buffer, std::size_t max) {
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(max, size_ - loaded_));
  if (wanted == 0) {
    return 0;
  }
  ssize_t count = 0;
  do {
    count = ::read(file_.get(), buffer, wanted);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    throw windows_system_error("cannot read the file '" + path_ + "'",
                               static_cast<std::uint32_t>(errno));
  }
  if (count == 0) {
    throw std::runtime_error("cannot read the file '" + path_ + "': it ended before " +
                             std::to_string(size_) + " bytes");
  }
  loaded_ += static_cast<std::uint64_t>(count);
  return static_cast<std::size_t>(count);
}

void file_body::rewind() {
  if (::lseek(file_.get(), 0, SEEK_SET) != 0) {
    throw windows_system_error("cannot read the file '" + path_ + "'",
                               static_cast<std::uint32_t>(errno));
  }
  loaded_ = 0;
}

}  // namespace core::net::http
