#pragma once

#include <cstdint>
#include <string>

namespace parvel {

// What tells a file, as it was looked at, from whatever stands at its path
// later: the file itself (device and inode), its size and its last
// modification and change, to the nanosecond. Another program that cuts,
// rewrites (even at its size) or replaces the file moves one of them.
struct file_stamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_ns = 0;

  bool operator==(const file_stamp&) const = default;
  // The same file holding the same bytes as far as the stamps tell, though
  // its mode or links may have changed since: they move the change time alone.
  bool same_bytes(const file_stamp& other) const;
};

// The stamp of the file at path as it is now; std::system_error, its text
// "cannot look at " and named, when it cannot be looked at.
file_stamp stamp_of(const std::string& path, const std::string& named);

}  // namespace parvel
