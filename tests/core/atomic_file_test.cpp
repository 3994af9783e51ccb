#include "core/atomic_file.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <utility>
#include <vector>

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
  bool target_exists;  // dotfiles/target, mode 0644
  // Links made in this order, in the folder config: name, then where it
  // leads, "@" standing for the test's folder.
  std::vector<std::pair<std::string, std::string>> links;
  const char* written;  // the path written, under the test's folder
  int error;            // 0: the bytes land in dotfiles/target
};

class atomic_file_links : public testing::TestWithParam<link_case> {};

TEST_P(atomic_file_links, write_through_the_link_and_keep_it) {
  const auto& c = GetParam();
  test_support::temp_folder folder;
  const fs::path root = folder.path();
  fs::create_directories(root / "dotfiles");
  fs::create_directories(root / "config");
  const fs::path target = root / "dotfiles/target";
  if (c.target_exists) {
    test_support::write_file(target.string(), "old");
    fs::permissions(target, fs::perms(0644));
  }
  for (auto [name, leads_to] : c.links) {
    if (leads_to.starts_with('@')) {
      leads_to = root.string() + leads_to.substr(1);
    }
    fs::create_symlink(leads_to, root / "config" / name);
  }
  const fs::path path = root / c.written;

  EXPECT_EQ(core::write_stored_file(path.string(), "new"), c.error);

  EXPECT_EQ(test_support::read_file(target.string()), c.error == 0      ? "new"
                                                      : c.target_exists ? "old"
                                                                        : "");
  if (c.error == 0) {
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(c.target_exists ? 0644 : 0600));
  }
  EXPECT_EQ(fs::is_symlink(path), !c.links.empty());
  EXPECT_EQ(files_in(root / "dotfiles"), c.target_exists || c.error == 0 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    layouts, atomic_file_links,
    testing::Values(link_case{"plain_file_keeps_its_mode", true, {}, "dotfiles/target", 0},
                    link_case{"chain_of_relative_and_absolute_links",
                              true,
                              {{"middle", "@/dotfiles/target"}, {"settings", "../config/middle"}},
                              "config/settings",
                              0},
                    link_case{"link_leading_nowhere_yet_creates_the_target",
                              false,
                              {{"settings", "../dotfiles/target"}},
                              "config/settings",
                              0},
                    link_case{"link_into_a_missing_folder_fails",
                              false,
                              {{"settings", "../dotfiles/gone/target"}},
                              "config/settings",
                              ENOENT},
                    link_case{"circle_of_links_fails",
                              true,
                              {{"settings", "@/config/other"}, {"other", "settings"}},
                              "config/settings",
                              ELOOP}),
    test_support::row_name());

}  // namespace
