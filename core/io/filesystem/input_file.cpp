#include "core/io/filesystem/input_file.hpp"

#include "core/io/filesystem/regular_file.hpp"

namespace core::io::filesystem {

// The buffer owns the descriptor and closes it; -1 leaves it closed.
input_file::input_file(const std::string& path)
    : std::istream(nullptr),
      buffer_(open_regular_file(path).release(), std::ios_base::in | std::ios_base::binary) {
  init(&buffer_);
  if (!buffer_.is_open()) {
    setstate(std::ios_base::failbit);
  }
}

}  // namespace core::io::filesystem
