#include "engine/photos/temp_folder.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "core/scoped_handle.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

class private_temp_folder : public testing::Test {
 protected:
  fs::perms permissions(const std::string& folder) const {
    return fs::symlink_status(folder).permissions() & fs::perms::all;
  }

  test_support::temp_folder root_;
  test_support::scoped_env tmpdir_{"TMPDIR", root_.path().string() + "/"};
  const std::string fixed_ = root_.file("lumbrel-send-photo-" + std::to_string(::getuid()));
  test_support::log_capture log_;
};

TEST_F(private_temp_folder, is_made_private_and_kept) {
  const std::string folder = parvel::get_temp_folder();
  EXPECT_EQ(folder, fixed_);
  EXPECT_EQ(permissions(folder), fs::perms::owner_all);
  EXPECT_EQ(parvel::get_temp_folder(), folder);
  EXPECT_EQ(log_.lines(), strings{});
}

TEST_F(private_temp_folder, of_ours_with_wider_modes_is_narrowed) {
  fs::create_directory(fixed_);
  ::chmod(fixed_.c_str(), 01777);
  EXPECT_EQ(parvel::get_temp_folder(), fixed_);
  EXPECT_EQ(permissions(fixed_), fs::perms::owner_all);
  EXPECT_EQ(log_.lines(),
            strings{"parvel [warning] - The temp folder " + fixed_ + " had mode 1777; now 0700"});
}

struct taken_case {
  const char* name;
  std::function<void(const std::string& fixed, const std::string& elsewhere)> take;
  const char* reason;
  bool needs_root = false;
};

class taken_temp_folder : public private_temp_folder,
                          public testing::WithParamInterface<taken_case> {};

// Another user may make the name first in a folder everyone can write; sends
// must go on in a folder of our own.
TEST_P(taken_temp_folder, gives_way_to_a_fresh_private_folder) {
  const taken_case& c = GetParam();
  if (c.needs_root && ::geteuid() != 0) {
    GTEST_SKIP() << "only root can give a folder to another user";
  }
  const std::string elsewhere = root_.file("elsewhere");
  fs::create_directory(elsewhere);
  c.take(fixed_, elsewhere);

  const std::string folder = parvel::get_temp_folder();
  EXPECT_EQ(fs::path(folder).parent_path(), root_.path());
  EXPECT_TRUE(folder.starts_with(fixed_ + "-")) << folder;
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(folder)));
  EXPECT_EQ(permissions(folder), fs::perms::owner_all);
  EXPECT_EQ(parvel::get_temp_folder(), folder) << "one folder for the whole run";
  EXPECT_EQ(log_.lines(), strings{"parvel [warning] - Cannot use the temp folder " + fixed_ + ": " +
                                  c.reason + "; using " + folder});
  EXPECT_TRUE(fs::is_empty(elsewhere));
}

INSTANTIATE_TEST_SUITE_P(
    names, taken_temp_folder,
    testing::Values(taken_case{"link_to_a_folder",
                               [](const std::string& fixed, const std::string& elsewhere) {
                                 fs::create_directory_symlink(elsewhere, fixed);
                               },
                               "it is a link"},
                    taken_case{"file",
                               [](const std::string& fixed, const std::string&) {
                                 test_support::write_file(fixed, "x");
                               },
                               "it is no folder"},
                    taken_case{"folder_of_another_user",
                               [](const std::string& fixed, const std::string&) {
                                 fs::create_directory(fixed);
                                 ASSERT_EQ(::chown(fixed.c_str(), ::getuid() + 1, ::getgid()), 0);
                               },
                               "another user owns it", true}),
    test_support::row_name());

class leftovers : public testing::Test {
 protected:
  // Writes the files and returns the names of those that stay.
  strings after_removal(const strings& files) {
    for (const std::string& name : files) {
      test_support::write_file(folder_.file(name), "x");
    }
    parvel::remove_leftovers(folder_.path().string());
    strings kept;
    for (const auto& entry : fs::directory_iterator(folder_.path())) {
      kept.push_back(entry.path().filename().string());
    }
    std::sort(kept.begin(), kept.end());
    return kept;
  }

  test_support::temp_folder folder_;
};

const strings earlier_run = {"photos-2026-12-05-3.zip",
                             "unknown-2027-01-31-12.ZIP",
                             "setup.run",
                             "Lumbrel-2.0.AppImage",
                             "setup.run.Ab12Cd",
                             "notes.txt",
                             "lumbrel_parvel.lock",
                             "photos.zip",
                             "photos-2026-12-05-.zip"};

TEST_F(leftovers, of_earlier_runs_go_once_by_their_names) {
  fs::create_directory(folder_.path() / "folder-2026-12-05-1.zip");
  fs::create_symlink(folder_.path() / "notes.txt", folder_.path() / "link-2026-12-05-1.zip");
  const strings kept = {".in-use",
                        "folder-2026-12-05-1.zip",
                        "link-2026-12-05-1.zip",
                        "lumbrel_parvel.lock",
                        "notes.txt",
                        "photos-2026-12-05-.zip",
                        "photos.zip"};
  EXPECT_EQ(after_removal(earlier_run), kept);
  // This run's own archive waits for a retry.
  strings now_kept = kept;
  now_kept.push_back("me-2026-12-06-1.zip");
  std::sort(now_kept.begin(), now_kept.end());
  EXPECT_EQ(after_removal({"me-2026-12-06-1.zip"}), now_kept);
}

TEST_F(leftovers, of_another_running_instance_stay) {
  const core::scoped_handle other(
      ::open(folder_.file(".in-use").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600));
  ASSERT_EQ(::flock(other.get(), LOCK_SH), 0);
  strings all = earlier_run;
  all.push_back(".in-use");
  std::sort(all.begin(), all.end());
  EXPECT_EQ(after_removal(earlier_run), all);
}

}  // namespace
