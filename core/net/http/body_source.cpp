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

namespace {

constexpr std::size_t block_size = std::size_t{1} << 20;

}  // namespace

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
  if (block_offset_ == block_length_) {
    fill();
  }
  const std::size_t count = std::min(max, block_length_ - block_offset_);
  std::memcpy(buffer, block_.data() + block_offset_, count);
  block_offset_ += count;
  return count;
}

void file_body::fill() {
  block_offset_ = 0;
  block_length_ = 0;
  const std::uint64_t left = size_ - loaded_;
  if (left == 0) {
    return;
  }
  block_.resize(block_size);
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, block_size));
  ssize_t count = 0;
  do {
    count = ::read(file_.get(), block_.data(), wanted);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    throw windows_system_error("cannot read the file '" + path_ + "'",
                               static_cast<std::uint32_t>(errno));
  }
  if (count == 0) {
    throw std::runtime_error("cannot read the file '" + path_ + "': it ended before " +
                             std::to_string(size_) + " bytes");
  }
  block_length_ = static_cast<std::size_t>(count);
  loaded_ += block_length_;
}

void file_body::rewind() {
  if (::lseek(file_.get(), 0, SEEK_SET) != 0) {
    throw windows_system_error("cannot read the file '" + path_ + "'",
                               static_cast<std::uint32_t>(errno));
  }
  loaded_ = 0;
  block_offset_ = 0;
  block_length_ = 0;
}

}  // namespace core::net::http
