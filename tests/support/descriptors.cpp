#include "tests/support/descriptors.hpp"

#include <fcntl.h>

#include <filesystem>
#include <iterator>

namespace test_support {

namespace fs = std::filesystem;

int open_descriptors() {
  const fs::directory_iterator fds("/proc/self/fd");
  return static_cast<int>(std::distance(begin(fds), end(fds)));
}

std::vector<open_descriptor> descriptors_on(const std::string& path) {
  std::vector<open_descriptor> found;
  for (const fs::directory_entry& link : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (fs::read_symlink(link.path(), error) == fs::path(path)) {
      const int number = std::stoi(link.path().filename().string());
      found.push_back({number, (::fcntl(number, F_GETFD) & FD_CLOEXEC) != 0});
    }
  }
  return found;
}

}  // namespace test_support
