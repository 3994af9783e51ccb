#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <mutex>
#include <thread>

#include "engine/jobs/photo_archive.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;
using photo_archive_cancel = test_support::archive_test;
using test_support::random_bytes;

// Built by appending: GCC 12 warns falsely (-Wrestrict) on "p" + std::string.
std::string photo_name(int index) {
  std::string name = "p";
  name += std::to_string(index);
  return name + ".jpg";
}

TEST_F(photo_archive_cancel, cancel_while_writing_ends_canceled_without_archive) {
  for (int i = 0; i < 8; ++i) {
    add_file(photo_name(i), random_bytes(4 << 20, static_cast<unsigned>(i)));
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

TEST_F(photo_archive_cancel, cancel_while_workers_compress_ends_canceled_without_archive) {
  constexpr int photos = 12;
  for (int i = 0; i < photos; ++i) {
    add_file(photo_name(i), random_bytes(2 << 20, static_cast<unsigned>(i)));
  }
  auto job = std::make_shared<parvel::photo_archive>(package_,
                                                     parvel::photo_archive::default_size_limit, 4);
  std::mutex mutex;
  strings events;
  const auto record = [&](const std::string& event) {
    std::lock_guard lock(mutex);
    events.push_back(event);
  };
  std::promise<void> first_photo_done;
  std::once_flag first_progress;
  job->signal_progress.connect([&](std::uint64_t, std::uint64_t) {
    record("progress");
    std::call_once(first_progress, [&] { first_photo_done.set_value(); });
  });
  job->signal_succeeded.connect([&](const auto&) { record("succeeded"); });
  job->signal_failed.connect([&](const auto&) { record("failed"); });
  job->signal_canceled.connect([&] { record("canceled"); });

  // The writer waits for the second photo while the others are compressed.
  std::thread worker([&] { job->run(); });
  first_photo_done.get_future().wait();
  job->cancel();
  worker.join();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "canceled");
  EXPECT_EQ(std::count(events.begin(), events.end(), "progress") + 1,
            static_cast<std::ptrdiff_t>(events.size()))
      << "one ending, after every progress";
  EXPECT_LT(events.size(), static_cast<std::size_t>(photos) + 1);
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

}  // namespace
