#include "engine/photos/package_info.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <thread>

#include "core/io/filesystem/file_sink.hpp"
#include "engine/photos/local_date.hpp"
#include "engine/photos/package_counter.hpp"
#include "engine/rename/rename_alg_add.hpp"
#include "engine/rename/rename_alg_counter.hpp"
#include "engine/rename/rename_alg_value.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

class photo_folder : public testing::Test {
 protected:
  photo_folder() {
    connections_.emplace_back(set_.signal_photos_added.connect([this] { ++added_; }));
    connections_.emplace_back(set_.signal_photos_removed.connect([this] { ++removed_; }));
  }

  std::string make(const std::string& relative) {
    const fs::path path = folder_.path() / relative;
    fs::create_directories(path.parent_path());
    test_support::write_file(path.string(), "data");
    return path.string();
  }
  std::string path(const std::string& relative) const { return folder_.file(relative); }
  strings paths() const {
    strings paths;
    for (const auto& entry : set_.photos()) {
      paths.push_back(entry.path);
    }
    return paths;
  }

  test_support::temp_folder folder_;
  parvel::package_info set_;
  int added_ = 0, removed_ = 0;
  std::vector<boost::signals2::scoped_connection> connections_;
};

TEST_F(photo_folder, folders_add_their_own_known_files_in_name_order_once) {
  const auto b = make("b.png"), a = make("a.JPG");
  make("notes.txt");
  make("sub/c.jpg");
  make("noextension");
  set_.add_paths({folder_.path().string()});
  EXPECT_EQ(paths(), (strings{a, b}));
  set_.add_paths({a, a, b});
  set_.add_paths({folder_.path().string()});
  EXPECT_EQ(paths(), (strings{a, b}));
  EXPECT_EQ(added_, 1) << "duplicates raise nothing";
}

TEST_F(photo_folder, missing_paths_are_logged_and_skipped) {
  const auto a = make("a.tif"), b = make("b.nef");
  test_support::log_capture capture;
  set_.add_paths({a, path("gone.jpg"), b, make("c.doc")});
  EXPECT_EQ(paths(), (strings{a, b}));
  EXPECT_EQ(capture.lines(), strings{"parvel [debug] - Cannot add the file: " + path("gone.jpg")});
}

TEST_F(photo_folder, batch_that_cannot_be_read_adds_nothing) {
  test_support::log_capture capture;
  set_.add_paths({make("a.jpg"), "/" + std::string(5000, 'x') + ".jpg"});
  EXPECT_TRUE(set_.photos().empty());
  EXPECT_EQ(added_, 0);
  ASSERT_EQ(capture.lines().size(), 1u);
  EXPECT_EQ(capture.lines()[0].rfind("parvel [debug] - Cannot process the input files: ", 0), 0u);
}

TEST_F(photo_folder, removing_and_clearing_signal_as_users_expect) {
  const auto a = make("a.jpg"), b = make("b.jpg");
  set_.add_paths({a, b});
  set_.remove_photos({parvel::photo_entry{path("unknown.jpg")}});
  EXPECT_EQ(removed_, 0);
  set_.remove_photos({parvel::photo_entry{a}});
  EXPECT_EQ(paths(), strings{b});
  set_.clear_photos();
  set_.clear_photos();
  EXPECT_EQ(removed_, 3);
}

TEST_F(photo_folder, a_removed_photo_may_come_again_and_a_batch_holds_each_path_once) {
  const auto a = make("a.jpg"), b = make("b.jpg"), c = make("c.jpg");
  set_.add_entries({parvel::photo_entry{a}, parvel::photo_entry{b}, parvel::photo_entry{a}});
  EXPECT_EQ(paths(), (strings{a, b}));
  set_.remove_photos({parvel::photo_entry{a}, parvel::photo_entry{a}, parvel::photo_entry{c}});
  set_.add_paths({c, a, b});
  EXPECT_EQ(paths(), (strings{b, c, a}));
  set_.clear_photos();
  set_.add_paths({b});
  EXPECT_EQ(paths(), strings{b});
  EXPECT_EQ(added_, 3);
  EXPECT_EQ(removed_, 2);
}

// The photo list reads its rows from copies: a size read for them stays in
// the set, so it is read once, not at every change.
TEST_F(photo_folder, sizes_are_read_once_into_the_set) {
  const auto four = make("four.jpg"), empty = path("empty.jpg");
  test_support::write_file(empty, "");
  test_support::log_capture capture;
  set_.add_paths({four, empty, path("gone.jpg")});
  set_.add_entries({parvel::photo_entry{path("gone.jpg")}});

  const auto sizes = [](const std::vector<parvel::photo_entry>& photos) {
    std::vector<std::uint64_t> read;
    for (const auto& photo : photos) {
      read.push_back(photo.size);
    }
    return read;
  };
  using sizes_t = std::vector<std::uint64_t>;
  EXPECT_EQ(sizes(set_.photos()), (sizes_t{0, 0, 0})) << "nothing read yet";
  EXPECT_EQ(sizes(set_.photos_with_sizes()), (sizes_t{4, 0, 0}));

  test_support::write_file(four, "grown");
  test_support::write_file(empty, "now");
  test_support::write_file(path("gone.jpg"), "back");
  EXPECT_EQ(sizes(set_.photos()), (sizes_t{4, 0, 0})) << "cached in the set";
  EXPECT_EQ(sizes(set_.photos_with_sizes()), (sizes_t{4, 3, 4})) << "0 is asked again";
  EXPECT_EQ(set_.total_size(), 11u);
}

TEST_F(photo_folder, renaming_numbers_in_list_order_and_makes_safe_names) {
  set_.add_paths({make("z.jpg"), make("a.png"), make("noext.jpeg")});
  set_.rename_all();
  EXPECT_EQ(set_.photos()[0].target_name, "") << "no strategy, no target names";
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

TEST(archive_name, stays_inside_the_temporary_folder) {
  struct row {
    const char* sender;
    const char* local_part;
  };
  // Fixed, so that a run across midnight reads one date.
  parvel::set_today_source([] { return "2026-12-05"; });
  for (const row& r : {row{"photos@x.example", "photos"}, row{"photos", "unknown"},
                       row{"", "unknown"}, row{"a@b@c", "a"}, row{"../../x@y", ".._.._x"},
                       row{"a\\b\tc@y", "a_b_c"}, row{"12:00 <me>@y", "12_00 _me_"}}) {
    SCOPED_TRACE(r.sender);
    parvel::package_info set;
    set.sender = r.sender;
    set.counter = 12;
    set.make_archive_name();
    EXPECT_EQ(set.archive_name, std::string(r.local_part) + "-2026-12-05-12.zip");
    EXPECT_EQ(fs::path(set.archive_path()).parent_path(), fs::path(set.temp_folder()));
  }
  parvel::set_today_source(nullptr);
}

// Another copy sharing the temp folder may hold the name this set chose but
// has not made yet: only a file the set made itself is ever removed.
TEST_F(photo_folder, only_an_archive_the_set_made_is_removed) {
  set_.sender = "me@x.example";
  set_.counter = 4;
  set_.make_archive_name();
  const std::string others = set_.archive_path();
  test_support::write_file(others, "another copy's archive");
  set_.remove_archive();
  set_.reset();
  EXPECT_TRUE(fs::exists(others));

  set_.create_archive_file();
  const std::string own = set_.archive_path();
  ASSERT_NE(own, others);
  set_.counter = 9;
  set_.make_archive_name();
  set_.create_archive_file();
  EXPECT_FALSE(fs::exists(own)) << "a set keeps one archive at a time";
  set_.remove_archive();
  EXPECT_FALSE(fs::exists(set_.archive_path()));
  EXPECT_TRUE(fs::exists(others));
  fs::remove(others);
}

// The counter starts from whatever the config file holds.
TEST(package_counter, goes_on_from_any_stored_value) {
  using limits = std::numeric_limits<std::int32_t>;
  EXPECT_EQ(parvel::next_package_counter(0), 1);
  EXPECT_EQ(parvel::next_package_counter(limits::max()), 0);
  EXPECT_EQ(parvel::next_package_counter(limits::min()), limits::min() + 1);
}

TEST_F(photo_folder, reset_keeps_sender_subject_and_counter_and_removes_the_archive) {
  set_.add_paths({make("a.jpg")});
  set_.sender = "me@x.example";
  set_.subject = "Trip";
  set_.message = "Hello";
  set_.recipients = {"you@x.example"};
  set_.counter = 4;
  set_.make_archive_name();
  set_.create_archive_file();
  ASSERT_TRUE(fs::exists(set_.archive_path()));
  set_.set_rename_alg(std::make_shared<parvel::rename_alg_value>("x"));
  set_.archived = true;

  set_.reset();

  EXPECT_FALSE(fs::exists(set_.archive_path()));
  EXPECT_FALSE(set_.archived);
  EXPECT_TRUE(set_.photos().empty());
  EXPECT_TRUE(set_.recipients.empty());
  EXPECT_EQ(set_.message, "");
  EXPECT_EQ(set_.get_rename_alg(), nullptr);
  EXPECT_EQ(removed_, 1);
  EXPECT_EQ(set_.sender + " " + set_.subject + " " + std::to_string(set_.counter),
            "me@x.example Trip 4");
  EXPECT_TRUE(fs::is_directory(set_.temp_folder())) << "the folder itself stays";
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
      for (const auto& entry : set_.photos_with_sizes()) {
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
