#include "core/scoped_handle.hpp"

#include <unistd.h>

namespace core {

scoped_handle& scoped_handle::operator=(scoped_handle&& other) noexcept {
  reset(other.release());
  return *this;
}

scoped_handle::~scoped_handle() { reset(); }

int scoped_handle::release() noexcept {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void scoped_handle::reset(int fd) noexcept {
  if (fd_ >= 0 && fd_ != fd) {
    // Never retry close on EINTR: the descriptor is gone either way on Linux.
    ::close(fd_);
  }
  fd_ = fd;
}

}  // namespace core
