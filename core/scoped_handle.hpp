#pragma once

namespace core {

// Owns one file descriptor and closes it when it goes. Move-only.
class scoped_handle {
 public:
  scoped_handle() = default;
  explicit scoped_handle(int fd) noexcept : fd_(fd) {}
  scoped_handle(scoped_handle&& other) noexcept : fd_(other.release()) {}
  scoped_handle& operator=(scoped_handle&& other) noexcept;
  scoped_handle(const scoped_handle&) = delete;
  scoped_handle& operator=(const scoped_handle&) = delete;
  ~scoped_handle();

  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }
  int release() noexcept;
  void reset(int fd = -1) noexcept;

 private:
  int fd_ = -1;
};

}  // namespace core
