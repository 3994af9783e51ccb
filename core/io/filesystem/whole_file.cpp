#include "core/io/filesystem/whole_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/scoped_handle.hpp"

namespace core::io::filesystem {

int read_whole_file(const std::string& path, std::string& content) {
  content.clear();
  const scoped_handle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    return errno;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      content.clear();
      return error;
    }
    if (got == 0) {
      return 0;
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace core::io::filesystem
