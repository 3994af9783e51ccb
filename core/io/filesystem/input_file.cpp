#include "core/io/filesystem/input_file.hpp"

#include <fcntl.h>

namespace core::io::filesystem {

// The buffer owns the descriptor and closes it; -1 leaves it closed.
input_file::input_file(const std::string& path)
    : std::istream(nullptr),
      buffer_(::open(path.c_str(), O_RDONLY | O_CLOEXEC),
              std::ios_base::in | std::ios_base::binary) {
  init(&buffer_);
  if (!buffer_.is_open()) {
    setstate(std::ios_base::failbit);
  }
}

}  // namespace core::io::filesystem
