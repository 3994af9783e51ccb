#pragma once

#include <string>
#include <string_view>

#include "core/scoped_handle.hpp"

namespace core {

// A file written piece by piece that replaces the one at its path only when
// committed, as write_file_atomically does: until then it is a temporary file
// in the same folder (mode 0600), removed when the replacement is dropped or
// fails. Each call returns 0, or the errno value of the failure; after one,
// the replacement is spent.
class file_replacement {
 public:
  explicit file_replacement(std::string target);
  file_replacement(const file_replacement&) = delete;
  file_replacement& operator=(const file_replacement&) = delete;
  ~file_replacement();

  int open();
  int write(std::string_view bytes);
  // Gives the file the mode of the one it replaces, if any.
  int keep_old_mode();
  // Writes it to the disk and puts it at the target's place.
  int commit();

 private:
  int fail(int error);

  const std::string target_;
  std::string temporary_;
  scoped_handle fd_;
};

// Replaces the file at path with bytes through a temporary file in the same
// folder and a rename, so a crash leaves either the old file or the new one,
// never a mix. The new file is private to the user (mode 0600); whatever was
// at path, a symbolic link included, is replaced, never followed. Returns 0,
// or the errno value of the failure, after which the old file is untouched.
int write_file_atomically(const std::string& path, const std::string& bytes);

// The same for a file the user keeps (settings, contacts), which may be a
// symbolic link into a folder of the user's own: the link stays, and the file
// it leads to is replaced in its own folder, created when the link leads
// nowhere yet. A file that was there keeps its mode; a new one gets 0600.
int write_stored_file(const std::string& path, const std::string& bytes);

// The file path names once the symbolic links at its end are followed (those
// of its folders are left to the system). A link leading nowhere gives the
// file it would create. Returns 0, or the errno value of the failure (ELOOP
// for a circle of links).
int follow_links(const std::string& path, std::string& target);

}  // namespace core
