#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "tests/engine/jobs/archive_fixture.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;
using photo_archive_cancel = test_support::archive_test;
using test_support::random_bytes;

TEST_F(photo_archive_cancel, cancel_while_writing_ends_canceled_without_archive) {
  for (int i = 0; i < 8; ++i) {
    add_file("p" + std::to_string(i) + ".jpg", random_bytes(4 << 20, static_cast<unsigned>(i)));
  }
  // Canceled from the user-interface thread while the job goes on writing.
  std::promise<void> first_photo_done;
  recorder_.on_first("progress:", [&] { first_photo_done.set_value(); });
  test_support::the_controller().start_photo_archive(package_);
  first_photo_done.get_future().wait();
  test_support::the_controller().cancel_photo_archive();
  ASSERT_TRUE(recorder_.wait_for_end());
  EXPECT_EQ(recorder_.outcome(), "canceled");
  EXPECT_FALSE(fs::exists(package_->archive_path()));
  EXPECT_FALSE(package_->archived);
}

TEST_F(photo_archive_cancel, cancel_before_the_archive_is_opened_is_remembered) {
  add_file("a.jpg", "1");
  recorder_.on_first("status:send_renaming",
                     [] { test_support::the_controller().cancel_photo_archive(); });
  send();
  EXPECT_EQ(recorder_.events(),
            (strings{"status:send_renaming", "status:send_zipping", "canceled"}));
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

}  // namespace
