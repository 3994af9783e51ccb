#include "core/atomic_file.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "tests/support/table.hpp"
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

// Settings kept in a dotfiles folder as symbolic links: a save writes through
// the link and leaves it a link, and the file it leads to keeps its mode.
struct link_case {
  const char* name;
  // Lays out the folder and returns the path written; "target" is where the
  // bytes belong.
  std::function<std::string(const fs::path& folder)> layout;
  int error;  // 0: written to "target"
};

class atomic_file_links : public testing::TestWithParam<link_case> {};

TEST_P(atomic_file_links, write_through_the_link_and_keep_it) {
  const auto& c = GetParam();
  test_support::temp_folder folder;
  const fs::path root = folder.path();
  fs::create_directories(root / "dotfiles");
  fs::create_directories(root / "config");
  const fs::path target = root / "dotfiles/target";
  const std::string path = c.layout(root);
  const bool target_existed = fs::exists(target);
  if (target_existed) {
    fs::permissions(target, fs::perms(0644));
  }

  EXPECT_EQ(core::write_stored_file(path, "new"), c.error);

  if (c.error == 0) {
    EXPECT_EQ(test_support::read_file(target.string()), "new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(target_existed ? 0644 : 0600));
  } else if (target_existed) {
    EXPECT_EQ(test_support::read_file(target.string()), "old");
  }
  if (path != target.string()) {
    EXPECT_TRUE(fs::is_symlink(path));
  }
  EXPECT_EQ(files_in(root / "dotfiles"), target_existed || c.error == 0 ? 1u : 0u);
}

void write_old(const fs::path& path) {
  test_support::write_file(path.string(), "old");
}

INSTANTIATE_TEST_SUITE_P(
    layouts, atomic_file_links,
    testing::Values(link_case{"plain_file_keeps_its_mode",
                              [](const fs::path& root) {
                                write_old(root / "dotfiles/target");
                                return (root / "dotfiles/target").string();
                              },
                              0},
                    link_case{"chain_of_relative_and_absolute_links",
                              [](const fs::path& root) {
                                write_old(root / "dotfiles/target");
                                fs::create_symlink(root / "dotfiles/target",
                                                   root / "config/middle");
                                fs::create_symlink("../config/middle", root / "config/settings");
                                return (root / "config/settings").string();
                              },
                              0},
                    link_case{"link_leading_nowhere_yet_creates_the_target",
                              [](const fs::path& root) {
                                fs::create_symlink(root / "dotfiles/target",
                                                   root / "config/settings");
                                return (root / "config/settings").string();
                              },
                              0},
                    link_case{"link_into_a_missing_folder_fails",
                              [](const fs::path& root) {
                                fs::create_symlink(root / "dotfiles/gone/target",
                                                   root / "config/settings");
                                return (root / "config/settings").string();
                              },
                              ENOENT},
                    link_case{"circle_of_links_fails",
                              [](const fs::path& root) {
                                write_old(root / "dotfiles/target");
                                fs::create_symlink(root / "config/b", root / "config/settings");
                                fs::create_symlink(root / "config/settings", root / "config/b");
                                return (root / "config/settings").string();
                              },
                              ELOOP}),
    test_support::row_name());

}  // namespace
