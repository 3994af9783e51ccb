#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/threading/stop_flag.hpp"

namespace parvel {

// What tells a photo's file, as a job planned to read it, from whatever
// stands at its path later: the file itself (device and inode), its size and
// its last modification and change, to the nanosecond. Another program that
// rewrites the file, even at its size, cuts it or puts another in its place
// moves one of them.
struct photo_file_state {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_ns = 0;

  bool operator==(const photo_file_state&) const = default;
};

// The file at path as it is now; all zero when it cannot be looked at (its
// reading then fails on its own).
photo_file_state photo_file_state_of(const std::string& path);

// Makes sure the file at path is still as planned, runs read, which reads it,
// and makes sure again once read has ended, whatever its outcome: what was
// read of a file changed meanwhile may be part of another picture, so the
// reading fails with words naming the change (a file cut short would fail
// its decoder with other words). A failure once stop is set throws
// job_canceled.
void read_as_planned(const std::string& path, const photo_file_state& planned,
                     const core::threading::stop_flag& stop, const std::function<void()>& read);

}  // namespace parvel
