#include <gtest/gtest.h>

#include <filesystem>

#include "engine/jobs/photo_archive.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

class photo_archive_cancel : public test_support::archive_test {
 protected:
  void add_photos(int count, std::size_t size) {
    for (int i = 0; i < count; ++i) {
      // Built by appending: GCC 12 warns falsely (-Wrestrict) on "p" + std::string.
      std::string name = "p";
      name += std::to_string(i);
      add_file(name + ".jpg", test_support::random_data(size, static_cast<unsigned>(i)));
    }
  }
};

TEST_F(photo_archive_cancel, cancel_before_the_archive_is_opened_is_remembered) {
  add_file("a.jpg", "1");
  recorder_.on_first("status:send_renaming",
                     [] { test_support::the_controller().cancel_photo_archive(); });
  archive();
  EXPECT_EQ(recorder_.events(),
            (strings{"status:send_renaming", "status:send_zipping", "canceled"}));
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

// Canceled at the first photo's progress, so that no loaded machine lets the
// job finish first; with more than one worker others are being compressed then.
TEST_F(photo_archive_cancel, cancel_while_writing_ends_canceled_without_archive) {
  constexpr int photos = 12;
  add_photos(photos, 2 << 20);
  for (const unsigned workers : {1u, 4u}) {
    SCOPED_TRACE(workers);
    parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
    test_support::job_recorder recorder(job);
    recorder.on_first("progress:", [&] { job.cancel(); });
    job.run();
    const strings events = recorder.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], "status:send_renaming");
    EXPECT_EQ(events[1], "status:send_zipping");
    EXPECT_TRUE(events[2].starts_with("progress:")) << events[2];
    EXPECT_EQ(events[3], "canceled");
    EXPECT_FALSE(fs::exists(package_->archive_path()));
    EXPECT_FALSE(package_->archived);
  }
}

}  // namespace
