#pragma once

#include <ext/stdio_filebuf.h>

#include <istream>
#include <string>

namespace core::io::filesystem {

// A binary, seekable input stream over a file opened close-on-exec, so that a
// program started meanwhile (a browser or an installer) never inherits it,
// which std::ifstream cannot ask for. Like std::ifstream it is in a failed
// state when the file cannot be opened, and also when it is no regular file,
// which it never waits for (see open_regular_file). path is UTF-8.
class input_file : public std::istream {
 public:
  explicit input_file(const std::string& path);
  input_file(const input_file&) = delete;
  input_file& operator=(const input_file&) = delete;

  // The errno value of a failed open, 0 once open: whether the file is gone
  // or refused.
  int open_error() const noexcept { return open_error_; }

 private:
  int open_error_ = 0;  // before buffer_, which is built from the open
  __gnu_cxx::stdio_filebuf<char> buffer_;
};

}  // namespace core::io::filesystem
