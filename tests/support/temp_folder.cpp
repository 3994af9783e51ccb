#include "tests/support/temp_folder.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

namespace test_support {

temp_folder::temp_folder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumbrel-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary folder";
  }
  path_ = pattern;
}

temp_folder::~temp_folder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

scoped_env::scoped_env(std::string name, const std::string& value) : name_(std::move(name)) {
  const char* old = ::getenv(name_.c_str());
  had_value_ = old != nullptr;
  old_value_ = old ? old : "";
  ::setenv(name_.c_str(), value.c_str(), 1);
}

scoped_env::~scoped_env() {
  if (had_value_) {
    ::setenv(name_.c_str(), old_value_.c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

}  // namespace test_support
