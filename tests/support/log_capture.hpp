#pragma once

#include <string>
#include <vector>

namespace test_support {

// Gives the global logger the program's line format and one sink that keeps
// every line. Construct one at the start of a test: it empties the kept log.
class log_capture {
 public:
  log_capture();
  // Everything logged since construction, line ends included.
  std::string text() const;
  // The lines without their CR LF.
  std::vector<std::string> lines() const;
};

}  // namespace test_support
