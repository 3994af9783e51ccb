#include "tests/support/unreadable_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace test_support {

namespace {

constexpr unsigned mode_overrides = (1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH);

}  // namespace

unreadable_file::unreadable_file(std::string path) : path_(std::move(path)) {
  struct stat status {};
  if (::stat(path_.c_str(), &status) != 0 || ::chmod(path_.c_str(), 0) != 0) {
    ADD_FAILURE() << "cannot take the rights of " << path_;
  }
  mode_ = status.st_mode & 07777;
  // glibc offers no wrapper; libcap would be one more library for the tests.
  if (::syscall(SYS_capget, &header_, saved_) != 0) {
    ADD_FAILURE() << "cannot read the capabilities: " << std::strerror(errno);
    return;
  }
  __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
  std::memcpy(lowered, saved_, sizeof lowered);
  lowered[0].effective &= ~mode_overrides;
  if (::syscall(SYS_capset, &header_, lowered) != 0) {
    ADD_FAILURE() << "cannot lower the capabilities: " << std::strerror(errno);
  }
}

unreadable_file::~unreadable_file() {
  ::syscall(SYS_capset, &header_, saved_);
  ::chmod(path_.c_str(), mode_);
}

}  // namespace test_support
