#pragma once

#include <string>
#include <vector>

#include "core/scoped_handle.hpp"
#include "tests/support/temp_folder.hpp"

namespace test_support {

// A script in place of the desktop's opener while the object lives. Each run
// lists what it inherited, reports "<argument count>|<first argument>"
// through a FIFO the test reads, then runs the script's tail (shell lines:
// "exit 4" to fail, for example).
class fake_opener {
 public:
  explicit fake_opener(const std::string& tail = "");
  fake_opener(const fake_opener&) = delete;
  fake_opener& operator=(const fake_opener&) = delete;
  // Puts xdg-open back.
  ~fake_opener();

  // The next report, or "nothing opened" when none comes within 20 s.
  std::string next_opened();
  // What the descriptors of the last run's shell linked to.
  std::vector<std::string> inherited_files() const;

 private:
  temp_folder folder_;
  core::scoped_handle reports_;
  core::scoped_handle writer_;
};

}  // namespace test_support
