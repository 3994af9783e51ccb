#pragma once

#include <cstdint>
#include <string>

namespace parvel {

class rename_alg;

// One photo of the set; copied by value.
struct photo_entry {
  std::string path;        // full path as added, UTF-8
  std::uint64_t size = 0;  // cached; 0 means not read yet
  // The path's file name made valid UTF-8, as the archive and the renaming
  // schemes see it; cached.
  std::string display_name;
  std::string target_name;  // the name inside the archive; empty until renamed

  // Reads the size while it is 0 and the path is a regular file; 0 for a
  // missing file.
  std::uint64_t file_size();
  const std::string& get_display_name();
  // target_name = the strategy's stem + the extension, made a safe file name:
  // one photo on its own, as the rename preview shows it. A send renames
  // through package_info::rename_all, which also bounds the names' length.
  void rename(rename_alg& alg);
};

}  // namespace parvel
