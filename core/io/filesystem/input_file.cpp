#include "core/io/filesystem/input_file.hpp"

#include "core/io/filesystem/regular_file.hpp"

#include <cerrno>

namespace core::io::filesystem {

namespace {

// errno is taken at once: the buffer's construction from -1 sets its own.
int open_for_reading(const std::string& path, int& error) {
  const int fd = open_regular_file(path).release();
  error = fd < 0 ? errno : 0;
  return fd;
}

}  // namespace

// The buffer owns the descriptor and closes it; -1 leaves it closed.
input_file::input_file(const std::string& path)
    : std::istream(nullptr),
      buffer_(open_for_reading(path, open_error_), std::ios_base::in | std::ios_base::binary) {
  init(&buffer_);
  if (!buffer_.is_open()) {
    setstate(std::ios_base::failbit);
  }
}

}  // namespace core::io::filesystem
