#include "engine/photos/package_info.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "core/system_error.hpp"
#include "engine/photos/local_date.hpp"
#include "engine/photos/temp_folder.hpp"
#include "engine/rename/rename_alg_add.hpp"
#include "engine/rename/rename_alg_counter.hpp"
#include "engine/rename/rename_alg_value.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

struct signal_counts {
  explicit signal_counts(parvel::package_info& set)
      : added_(set.signal_photos_added.connect([this] { ++added; })),
        removed_(set.signal_photos_removed.connect([this] { ++removed; })) {}
  int added = 0;
  int removed = 0;

 private:
  boost::signals2::scoped_connection added_, removed_;
};

strings paths_of(const parvel::package_info& set) {
  strings paths;
  for (const auto& entry : set.photos()) {
    paths.push_back(entry.path);
  }
  return paths;
}

class photo_folder : public testing::Test {
 protected:
  std::string make(const std::string& relative, const std::string& bytes = "data") {
    const fs::path path = folder_.path() / relative;
    fs::create_directories(path.parent_path());
    test_support::write_file(path.string(), bytes);
    return path.string();
  }
  std::string path(const std::string& relative) const { return folder_.file(relative); }

  test_support::temp_folder folder_;
  parvel::package_info set_;
  signal_counts signals_{set_};
};

TEST_F(photo_folder, folders_add_their_own_known_files_in_name_order) {
  const auto b = make("b.png"), a = make("a.JPG");
  make("notes.txt");
  make("sub/c.jpg");
  make("noextension");
  set_.add_paths({folder_.path().string()});
  EXPECT_EQ(paths_of(set_), (strings{a, b}));
  EXPECT_EQ(signals_.added, 1);
}

TEST_F(photo_folder, duplicates_are_dropped_and_raise_nothing) {
  const auto a = make("a.jpg");
  set_.add_paths({a, a});
  set_.add_paths({folder_.path().string()});
  set_.add_paths({a});
  EXPECT_EQ(paths_of(set_), strings{a});
  EXPECT_EQ(signals_.added, 1);
}

TEST_F(photo_folder, missing_paths_are_logged_and_skipped) {
  const auto a = make("a.tif"), b = make("b.nef");
  test_support::log_capture capture;
  set_.add_paths({a, path("gone.jpg"), b, make("c.doc")});
  EXPECT_EQ(paths_of(set_), (strings{a, b}));
  EXPECT_EQ(capture.lines(), strings{"parvel [debug] - Cannot add the file: " + path("gone.jpg")});
}

TEST_F(photo_folder, batch_that_cannot_be_read_adds_nothing) {
  const auto a = make("a.jpg");
  test_support::log_capture capture;
  set_.add_paths({a, "/" + std::string(5000, 'x') + ".jpg"});
  EXPECT_TRUE(set_.photos().empty());
  EXPECT_EQ(signals_.added, 0);
  ASSERT_EQ(capture.lines().size(), 1u);
  EXPECT_EQ(capture.lines()[0].rfind("parvel [debug] - Cannot process the input files: ", 0), 0u);
}

TEST_F(photo_folder, removing_and_clearing_signal_as_users_expect) {
  const auto a = make("a.jpg"), b = make("b.jpg");
  set_.add_paths({a, b});
  set_.remove_photos({parvel::photo_entry{path("unknown.jpg")}});
  EXPECT_EQ(signals_.removed, 0);
  set_.remove_photos({parvel::photo_entry{a}});
  EXPECT_EQ(paths_of(set_), strings{b});
  set_.clear_photos();
  set_.clear_photos();
  EXPECT_EQ(signals_.removed, 3);
}

TEST_F(photo_folder, sizes_are_summed_and_cached) {
  set_.add_paths({make("a.jpg", std::string(1000, 'a')), make("b.jpg", std::string(24, 'b'))});
  EXPECT_EQ(set_.total_size(), 1024u);
  set_.add_entries({parvel::photo_entry{path("gone.jpg")}});
  EXPECT_EQ(set_.total_size(), 1024u);
}

TEST_F(photo_folder, renaming_numbers_in_list_order_and_makes_safe_names) {
  set_.add_paths({make("z.jpg"), make("a.png"), make("noext.jpeg")});
  set_.rename_all();
  for (const auto& entry : set_.photos()) {
    EXPECT_EQ(entry.target_name, "") << "no strategy, no target names";
  }
  set_.set_rename_alg(std::make_shared<parvel::rename_alg_add>(
      std::make_shared<parvel::rename_alg_value>("../trip\n"),
      std::make_shared<parvel::rename_alg_counter>(1, 2)));
  set_.rename_all();
  set_.rename_all();
  strings targets;
  for (const auto& entry : set_.photos()) {
    targets.push_back(entry.target_name);
  }
  EXPECT_EQ(targets, (strings{".._trip_01.jpg", ".._trip_02.png", ".._trip_03.jpeg"}));
}

struct archive_name_case {
  const char* name;
  const char* sender;
  int counter;
  const char* local_part;
};

class archive_name : public testing::TestWithParam<archive_name_case> {};

TEST_P(archive_name, stays_inside_the_temporary_folder) {
  const auto& c = GetParam();
  parvel::package_info set;
  set.sender = c.sender;
  set.counter = c.counter;
  set.make_archive_name();
  EXPECT_EQ(set.archive_name, std::string(c.local_part) + "-" + parvel::today_iso_date() + "-" +
                                  std::to_string(c.counter) + ".zip");
  EXPECT_EQ(fs::path(set.archive_path()).parent_path(), fs::path(set.temp_folder()));
}

INSTANTIATE_TEST_SUITE_P(
    senders, archive_name,
    testing::Values(archive_name_case{"local_part", "photos@x.example", 3, "photos"},
                    archive_name_case{"no_at_sign", "photos", 0, "unknown"},
                    archive_name_case{"empty", "", 12, "unknown"},
                    archive_name_case{"first_at_sign", "a@b@c", 1, "a"},
                    archive_name_case{"path_in_local_part", "../../x@y", 2, ".._.._x"},
                    archive_name_case{"backslash_and_control", "a\\b\tc@y", 2, "a_b_c"}),
    test_support::row_name());

TEST_F(photo_folder, reset_keeps_sender_subject_and_counter_and_removes_the_archive) {
  set_.add_paths({make("a.jpg")});
  set_.sender = "me@x.example";
  set_.subject = "Trip";
  set_.message = "Hello";
  set_.recipients = {"you@x.example"};
  set_.counter = 4;
  set_.make_archive_name();
  test_support::write_file(set_.archive_path(), "zip");
  set_.set_rename_alg(std::make_shared<parvel::rename_alg_value>("x"));
  set_.archived = true;
  int rename_changed = 0;
  boost::signals2::scoped_connection c =
      set_.signal_rename_changed.connect([&] { ++rename_changed; });

  set_.reset();

  EXPECT_FALSE(fs::exists(set_.archive_path()));
  EXPECT_FALSE(set_.archived);
  EXPECT_TRUE(set_.photos().empty());
  EXPECT_TRUE(set_.recipients.empty());
  EXPECT_EQ(set_.message, "");
  EXPECT_EQ(set_.get_rename_alg(), nullptr);
  EXPECT_EQ(rename_changed, 1);
  EXPECT_EQ(signals_.removed, 1);
  EXPECT_EQ(set_.sender, "me@x.example");
  EXPECT_EQ(set_.subject, "Trip");
  EXPECT_EQ(set_.counter, 4);
  EXPECT_TRUE(fs::is_directory(set_.temp_folder())) << "the folder itself stays";
}

TEST(temp_folder, is_private_and_refuses_a_folder_it_does_not_own) {
  test_support::temp_folder root;
  test_support::scoped_env tmpdir("TMPDIR", root.path().string() + "/");
  const std::string folder = parvel::get_temp_folder();
  EXPECT_EQ(fs::path(folder).parent_path(), root.path());
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(parvel::get_temp_folder(), folder);

  ::chmod(folder.c_str(), 0777);
  try {
    parvel::get_temp_folder();
    FAIL();
  } catch (const core::windows_system_error& e) {
    EXPECT_STREQ(e.what(), "Cannot get the temp path: Permission denied");
  }
  fs::remove(folder);
  fs::create_directory_symlink(root.path(), folder);
  EXPECT_THROW(parvel::get_temp_folder(), core::windows_system_error);
}

// The archive job renames and reads the set while the page may still add to it.
TEST_F(photo_folder, job_and_page_may_use_the_set_at_once) {
  for (int i = 0; i < 50; ++i) {
    make("p" + std::to_string(i) + ".jpg");
  }
  set_.set_rename_alg(std::make_shared<parvel::rename_alg_counter>(1, 3));
  std::thread job([&] {
    for (int i = 0; i < 50; ++i) {
      set_.rename_all();
      for (const auto& entry : set_.photos()) {
        EXPECT_FALSE(entry.path.empty());
      }
    }
  });
  for (int i = 0; i < 50; ++i) {
    set_.add_paths({path("p" + std::to_string(i) + ".jpg")});
  }
  job.join();
  EXPECT_EQ(set_.photos().size(), 50u);
}

}  // namespace
