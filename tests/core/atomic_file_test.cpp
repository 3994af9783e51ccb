#include "core/atomic_file.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;

std::size_t files_in(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(atomic_file, replaces_the_whole_file_and_leaves_no_temporary_behind) {
  test_support::temp_folder folder;
  const std::string path = folder.file("parvel.config");
  test_support::write_file(path, std::string(100000, 'o'));
  EXPECT_EQ(core::write_file_atomically(path, "new"), 0);
  EXPECT_EQ(test_support::read_file(path), "new");
  EXPECT_EQ(files_in(folder.path()), 1u);
}

TEST(atomic_file, failed_rename_keeps_the_old_content_and_cleans_up) {
  test_support::temp_folder folder;
  const fs::path occupied = folder.path() / "occupied";
  fs::create_directories(occupied /
                         "inside");  // a folder with content cannot be replaced by a file
  EXPECT_EQ(core::write_file_atomically(occupied.string(), "new"), EISDIR);
  EXPECT_TRUE(fs::is_directory(occupied / "inside"));
  EXPECT_EQ(files_in(folder.path()), 1u);
  EXPECT_EQ(core::write_file_atomically(folder.file("missing/file"), "x"), ENOENT);
}

}  // namespace
