#include "core/io/spooled_buffer.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "core/io/stream_failure.hpp"

namespace core::io {

namespace {

constexpr std::size_t mib = std::size_t{1} << 20;
// Few system calls for a file of gigabytes.
constexpr std::size_t file_buffer_size = mib;

// A file of ours in folder, unnamed at once; -1 with errno on failure.
int make_unnamed_file(const std::string& folder) {
  std::string path = folder + "/spool-XXXXXX";
  const int fd = ::mkostemp(path.data(), O_CLOEXEC);
  if (fd >= 0 && ::unlink(path.c_str()) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

int error_or_eio() {
  return errno != 0 ? errno : EIO;
}

}  // namespace

spooled_buffer::spooled_buffer(std::string folder, std::size_t memory_limit)
    : folder_(std::move(folder)), memory_limit_(memory_limit) {}

spooled_buffer::~spooled_buffer() = default;

std::string spooled_buffer::take_bytes() {
  std::string bytes = std::move(memory_);
  memory_.clear();
  return bytes;
}

std::streambuf& spooled_buffer::file() {
  errno = 0;
  if (file_->pubsync() != 0) {
    throw stream_failure("bad write", error_or_eio());
  }
  if (file_->pubseekpos(0, std::ios_base::in) != std::streampos(0)) {
    throw stream_failure("bad seek", error_or_eio());
  }
  file_at_ = 0;
  return *file_;
}

std::streamsize spooled_buffer::xsputn(const char* data, std::streamsize count) {
  if (write_error_ != 0 || count <= 0) {
    return 0;
  }
  const auto length = static_cast<std::size_t>(count);
  const std::uint64_t end = put_at_ + length;
  if (!file_ && end > memory_limit_) {
    move_to_file();
    if (write_error_ != 0) {
      return 0;
    }
  }
  if (file_) {
    if (!write_to_file(data, count)) {
      return 0;
    }
  } else {
    if (end > memory_.capacity()) {
      // By a quarter once large: what stays unused is counted as held.
      const std::size_t grown =
          memory_.capacity() < mib ? 2 * memory_.capacity() : memory_.capacity() / 4 * 5 + mib;
      memory_.reserve(std::min(memory_limit_, std::max<std::size_t>(grown, end)));
    }
    if (put_at_ == memory_.size()) {
      memory_.append(data, length);
    } else {
      memory_.resize(std::max<std::size_t>(memory_.size(), end));
      std::copy(data, data + length, memory_.begin() + static_cast<std::ptrdiff_t>(put_at_));
    }
  }
  put_at_ = end;
  size_ = std::max(size_, end);
  return count;
}

spooled_buffer::int_type spooled_buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

spooled_buffer::pos_type spooled_buffer::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                 std::ios_base::openmode which) {
  const std::uint64_t base = direction == std::ios_base::beg   ? 0
                             : direction == std::ios_base::cur ? put_at_
                                                               : size_;
  if ((which & std::ios_base::out) == 0 || (offset < 0 && base < std::uint64_t(-offset)) ||
      (offset > 0 && size_ - base < std::uint64_t(offset))) {
    return pos_type(off_type(-1));
  }
  put_at_ = base + static_cast<std::uint64_t>(offset);
  return pos_type(static_cast<off_type>(put_at_));
}

spooled_buffer::pos_type spooled_buffer::seekpos(pos_type position, std::ios_base::openmode which) {
  return seekoff(off_type(position), std::ios_base::beg, which);
}

void spooled_buffer::move_to_file() {
  const int fd = make_unnamed_file(folder_);
  if (fd < 0) {
    write_error_ = error_or_eio();
    return;
  }
  // Owns the descriptor from here on.
  file_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(
      fd, std::ios_base::in | std::ios_base::out | std::ios_base::binary, file_buffer_size);
  const std::uint64_t put_at = put_at_;
  put_at_ = 0;
  if (write_to_file(memory_.data(), static_cast<std::streamsize>(memory_.size()))) {
    std::string().swap(memory_);
  }
  put_at_ = put_at;
}

bool spooled_buffer::write_to_file(const char* data, std::streamsize count) {
  errno = 0;
  if (file_at_ != put_at_ &&
      file_->pubseekpos(static_cast<off_type>(put_at_), std::ios_base::out) !=
          pos_type(static_cast<off_type>(put_at_))) {
    write_error_ = error_or_eio();
    return false;
  }
  if (file_->sputn(data, count) != count) {
    write_error_ = error_or_eio();
    return false;
  }
  file_at_ = put_at_ + static_cast<std::uint64_t>(count);
  return true;
}

}  // namespace core::io
