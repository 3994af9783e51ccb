#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace parvel {

// What tells the archive a build left from whatever stands at its path
// later: the file itself (device and inode), its size and its last
// modification. A cleaner of the temporary folder, or another program, that
// cuts, rewrites or replaces the file changes one of them.
struct archive_stamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified_s = 0;
  std::int64_t modified_ns = 0;

  bool operator==(const archive_stamp&) const = default;
};

// The stamp of the file at path as it is now; std::system_error when it
// cannot be looked at.
archive_stamp stamp_of(const std::string& path);

}  // namespace parvel
