#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "tests/support/child_role.hpp"
#include "tests/support/temp_folder.hpp"

// Every test process gets its own configuration, data and temporary folders,
// so no test reads or writes the developer's own settings or contacts. A
// child role keeps the folders of the test that started it.
int main(int argc, char** argv) {
  if (const std::optional<int> code = test_support::run_child_role(argc, argv)) {
    return *code;
  }
  testing::InitGoogleTest(&argc, argv);
  const test_support::temp_folder home;
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "TMPDIR"}) {
    const std::filesystem::path folder = home.path() / name;
    std::filesystem::create_directories(folder);
    ::setenv(name, folder.c_str(), 1);
  }
  return RUN_ALL_TESTS();
}
