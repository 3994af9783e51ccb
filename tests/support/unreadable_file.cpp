#include "tests/support/unreadable_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace test_support {

// glibc has no wrapper for capget and capset, and libcap is not worth linking.
unreadable_file::unreadable_file(std::string path) : path_(std::move(path)) {
  EXPECT_EQ(::chmod(path_.c_str(), 0), 0);
  if (::syscall(SYS_capget, &header_, saved_) != 0) {
    ADD_FAILURE() << "cannot read the capabilities";
    header_.version = 0;  // nothing to restore
    return;
  }
  __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
  std::copy(std::begin(saved_), std::end(saved_), std::begin(lowered));
  lowered[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
  EXPECT_EQ(::syscall(SYS_capset, &header_, lowered), 0);
}

unreadable_file::~unreadable_file() {
  if (header_.version != 0) {
    ::syscall(SYS_capset, &header_, saved_);
  }
  ::chmod(path_.c_str(), 0600);
}

}  // namespace test_support
