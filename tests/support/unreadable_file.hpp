#pragma once

#include <linux/capability.h>

#include <string>

namespace test_support {

// Opening the file at path fails with EACCES on this thread, and on threads it
// starts, while the object lives: mode 000, and for tests run as root the
// capabilities that override modes lowered in this thread's effective set.
class unreadable_file {
 public:
  explicit unreadable_file(std::string path);
  unreadable_file(const unreadable_file&) = delete;
  unreadable_file& operator=(const unreadable_file&) = delete;
  ~unreadable_file();

 private:
  std::string path_;
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3]{};
};

}  // namespace test_support
