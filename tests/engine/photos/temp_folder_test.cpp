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
#include "core/system_error.hpp"
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

struct skipped_base {
  const char* name;
  // Makes the base in root; its path.
  std::function<std::string(const fs::path& root)> make;
  const char* reason;
  bool needs_a_user = false;
};

class temp_folder_base : public testing::TestWithParam<skipped_base> {
 protected:
  test_support::temp_folder root_;
  test_support::log_capture log_;
};

// A TMPDIR gone after a reboot, or one that names no folder of ours to write
// in, never ends the program: the next base serves, and the log says why once.
TEST_P(temp_folder_base, that_cannot_serve_gives_way_to_the_next) {
  const skipped_base& c = GetParam();
  if (c.needs_a_user && ::geteuid() == 0) {
    GTEST_SKIP() << "root writes in any folder";
  }
  const std::string skipped = c.make(root_.path());
  const std::string next = root_.file("next");
  fs::create_directory(next);
  const std::string expected = next + "/lumbrel-send-photo-" + std::to_string(::getuid());

  EXPECT_EQ(parvel::get_temp_folder({skipped, next}), expected);
  EXPECT_EQ(parvel::get_temp_folder({skipped, next}), expected);
  EXPECT_EQ(log_.lines(), strings{"parvel [warning] - Cannot use the temp folder " + skipped +
                                  ": " + c.reason + "; using " + expected});
}

INSTANTIATE_TEST_SUITE_P(
    bases, temp_folder_base,
    testing::Values(skipped_base{"missing",
                                 [](const fs::path& root) { return (root / "gone").string(); },
                                 "No such file or directory"},
                    skipped_base{"file",
                                 [](const fs::path& root) {
                                   test_support::write_file((root / "file").string(), "x");
                                   return (root / "file").string();
                                 },
                                 "Not a directory"},
                    skipped_base{"relative", [](const fs::path&) { return std::string("tmp"); },
                                 "it is no absolute path"},
                    skipped_base{"read_only",
                                 [](const fs::path& root) {
                                   fs::create_directory(root / "read-only");
                                   fs::permissions(root / "read-only",
                                                   fs::perms::owner_read | fs::perms::owner_exec);
                                   return (root / "read-only").string();
                                 },
                                 "Permission denied", true}),
    test_support::row_name());

TEST_F(private_temp_folder, none_serving_throws_the_first_bases_error) {
  const std::string missing = root_.file("gone");
  test_support::write_file(root_.file("file"), "x");
  try {
    parvel::get_temp_folder({missing, root_.file("file")});
    FAIL() << "no folder serves";
  } catch (const core::windows_system_error& e) {
    EXPECT_STREQ(e.what(), "Cannot get the temp path: No such file or directory");
  }
  EXPECT_EQ(log_.lines(), (strings{"parvel [warning] - Cannot use the temp folder " + missing +
                                       ": No such file or directory",
                                   "parvel [warning] - Cannot use the temp folder " +
                                       root_.file("file") + ": Not a directory"}));
}

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

struct leftover_row {
  const char* name;
  bool removed;
  const char* why;
};

// Every name a run of ours leaves, and files of like shape no run of ours makes.
const leftover_row earlier_run[] = {
    {"photos-2026-12-05-3.zip", true, "an archive"},
    {"photos-2026-12-05--5.zip", true, "a negative counter from the config file"},
    {"-2026-12-05-3.zip", true, "a sender with nothing before the at sign"},
    {"setup.run", true, "an installer"},
    {"Lumbrel-2.0.AppImage", true, "an installer of another kind"},
    {"setup.run.Ab12Cd", true, "an interrupted installer download"},
    {"magick-12345aBcDeFgH", true, "a decoder cache an older version left"},
    {"notes.txt", false, "no name of ours"},
    {"lumbrel_parvel.lock", false, "the instance lock"},
    {"photos.zip", false, "no date, no counter"},
    {"photos-2026-12-05-.zip", false, "no counter"},
    {"photos-2026-12-05---5.zip", false, "two signs"},
    {"photos-2026-12-05-007.zip", false, "a counter never has leading zeros"},
    {"photos-2026-12-05--0.zip", false, "nor a negative zero"},
    {"photos-2026-12-05-+5.zip", false, "nor a plus sign"},
    {"photos-2026-12-05-2147483648.zip", false, "past the highest counter"},
    {"photos-2026-12-05--2147483649.zip", false, "past the lowest counter"},
    {"photos-2026-12-5-3.zip", false, "a one-digit day"},
    {"unknown-2027-01-31-12.ZIP", false, "archives end in lower-case .zip"},
    {"me@x-2026-12-05-3.zip", false, "the sender's name ends before its at sign"},
    {"a:b-2026-12-05-3.zip", false, "archive names are made safe"},
    {"photos-2026-12-05-3.zip.Ab12Cd", false, "archives are written in place"},
    {"setup.run.Ab-2Cd", false, "temporary names hold letters and digits only"},
};

strings leftover_names() {
  strings names;
  for (const leftover_row& row : earlier_run) {
    names.push_back(row.name);
  }
  return names;
}

TEST_F(leftovers, of_earlier_runs_go_once_by_their_names) {
  fs::create_directory(folder_.path() / "folder-2026-12-05-1.zip");
  fs::create_symlink(folder_.path() / "notes.txt", folder_.path() / "link-2026-12-05-1.zip");
  // Downloaded installers go whatever their names.
  const fs::path installers = folder_.path() / "installer";
  fs::create_directory(installers);
  for (const char* name : {".in-use", "notes.txt", "photos-2026-12-05-3.zip.Ab12Cd"}) {
    test_support::write_file((installers / name).string(), "x");
  }
  after_removal(leftover_names());
  EXPECT_TRUE(fs::is_empty(installers));
  for (const leftover_row& row : earlier_run) {
    SCOPED_TRACE(std::string(row.name) + ": " + row.why);
    const bool gone = !fs::exists(fs::symlink_status(folder_.file(row.name)));
    EXPECT_EQ(gone, row.removed);
  }
  EXPECT_TRUE(fs::is_directory(folder_.file("folder-2026-12-05-1.zip")));
  EXPECT_TRUE(fs::is_symlink(folder_.file("link-2026-12-05-1.zip")));
  // This run's own archive waits for a retry.
  after_removal({"me-2026-12-06-1.zip"});
  EXPECT_TRUE(fs::exists(folder_.file("me-2026-12-06-1.zip")));
}

TEST_F(leftovers, of_another_running_instance_stay) {
  const core::scoped_handle other(
      ::open(folder_.file(".in-use").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600));
  ASSERT_EQ(::flock(other.get(), LOCK_SH), 0);
  strings all = leftover_names();
  const strings kept = after_removal(all);
  all.push_back(".in-use");
  std::sort(all.begin(), all.end());
  EXPECT_EQ(kept, all);
}

}  // namespace
