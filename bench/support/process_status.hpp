#pragma once

#include <fstream>
#include <string>

namespace bench {

// A KiB field of /proc/self/status ("VmRSS:", "VmHWM:"); -1 when absent.
inline long process_status_kib(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0)
      return std::stol(line.substr(field.size()));
  }
  return -1;
}

}  // namespace bench
