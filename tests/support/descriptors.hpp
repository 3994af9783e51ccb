#pragma once

#include <string>
#include <vector>

namespace test_support {

// Open file descriptors of this process.
int open_descriptors();

// A descriptor of this process and whether a spawned program would inherit it.
struct open_descriptor {
  int number;
  bool close_on_exec;
};

// The descriptors of this process open on path (compared with what
// /proc/self/fd links to, so path must be absolute and without links).
std::vector<open_descriptor> descriptors_on(const std::string& path);

}  // namespace test_support
