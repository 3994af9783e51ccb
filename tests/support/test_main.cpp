#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "tests/support/temp_folder.hpp"

// Every test process gets its own configuration, data and temporary folders,
// so no test reads or writes the developer's own settings or contacts.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const test_support::temp_folder home;
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "TMPDIR"}) {
    const std::filesystem::path folder = home.path() / name;
    std::filesystem::create_directories(folder);
    ::setenv(name, folder.c_str(), 1);
  }
  return RUN_ALL_TESTS();
}
