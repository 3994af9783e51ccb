#include "core/graphics/gdip/detail/encoded_input.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

std::size_t encoded_input::read_at(std::uint64_t offset, unsigned char* buffer,
                                   std::size_t size) const {
  if (!file_) {
    if (offset >= bytes_.size()) {
      return 0;
    }
    const std::size_t count = std::min<std::uint64_t>(size, bytes_.size() - offset);
    if (count > 0) {
      std::memcpy(buffer, bytes_.data() + offset, count);
    }
    return count;
  }
  std::size_t done = 0;
  while (done < size) {
    const ssize_t count =
        ::pread(file_.get(), buffer + done, size - done, static_cast<off_t>(offset + done));
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count < 0) {
      throw status_failure(status::win32_error, errno);
    }
    if (count == 0) {
      break;
    }
    done += static_cast<std::size_t>(count);
  }
  return done;
}

std::uint64_t encoded_input::size() const {
  if (!file_) {
    return bytes_.size();
  }
  struct stat file_status {};
  if (::fstat(file_.get(), &file_status) != 0) {
    throw status_failure(status::win32_error, errno);
  }
  return static_cast<std::uint64_t>(file_status.st_size);
}

}  // namespace core::graphics::gdip::detail
