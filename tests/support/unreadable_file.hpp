#pragma once

#include <linux/capability.h>

#include <string>

namespace test_support {

// Makes the file at path unreadable to the calling thread while the object
// lives, so that opening it fails with EACCES as for a user without the right:
// mode 000 and, when the tests run as root, the capabilities that override
// file modes lowered from this thread's effective set (capabilities belong to
// a thread). Restores the mode and the capabilities afterwards.
class unreadable_file {
 public:
  explicit unreadable_file(std::string path);
  unreadable_file(const unreadable_file&) = delete;
  unreadable_file& operator=(const unreadable_file&) = delete;
  ~unreadable_file();

 private:
  std::string path_;
  unsigned mode_;
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3]{};
};

}  // namespace test_support
