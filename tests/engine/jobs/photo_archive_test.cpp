#include "engine/jobs/photo_archive.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/rename/rename_alg_value.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"

namespace {

namespace fs = std::filesystem;
namespace formats = core::graphics::image_formats;
using strings = std::vector<std::string>;
using test_support::names_of;
using test_support::random_data;
using test_support::read_archive;

class photo_archive_run : public test_support::archive_test {
 protected:
  void SetUp() override { test_support::register_image_codecs(); }

  void expect_failure(const std::string& outcome) {
    EXPECT_EQ(recorder_.outcome(), outcome);
    EXPECT_FALSE(fs::exists(package_->archive_path()));
    EXPECT_FALSE(package_->archived);
  }
};

TEST_F(photo_archive_run, stores_unchanged_photos_byte_for_byte_under_unique_names) {
  const std::string a = random_data(300000, 1), b = random_data(5, 2), c = "text text text text";
  add_file("one/IMG.jpg", a);
  add_file("two/IMG.jpg", b);
  add_file("three/img(1).JPG", c);
  add_file("raw.NEF", a);
  archive();

  EXPECT_EQ(recorder_.events(),
            (strings{"status:send_renaming", "status:send_zipping", "progress:300000/600024",
                     "progress:300005/600024", "progress:300024/600024", "progress:600024/600024",
                     "succeeded"}));
  EXPECT_TRUE(package_->archived);
  const auto entries = read_archive(package_->archive_path());
  EXPECT_EQ(entries, (std::map<std::string, std::string>{
                         {"IMG.jpg", a}, {"IMG(1).jpg", b}, {"img(1)(1).JPG", c}, {"raw.NEF", a}}));
}

TEST_F(photo_archive_run, converts_and_resizes_into_the_chosen_box) {
  add_image("big.jpg", 4000, 3000);
  add_image("a.png", 64, 48);
  add_image("a.bmp", 48, 64);
  add_file("layers.psd", "not decoded");
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::jpeg));
  parvel::resize_option_manager::instance()->set_current({2, 1920, 1080});
  archive();

  ASSERT_EQ(recorder_.outcome(), "succeeded");
  const auto entries = read_archive(package_->archive_path());
  EXPECT_EQ(names_of(entries), (strings{"a(1).jpg", "a.jpg", "big.jpg", "layers.psd"}));
  const auto big = test_support::decode(entries.at("big.jpg"));
  EXPECT_EQ(big.width(), 1440);
  EXPECT_EQ(big.height(), 1080);
  EXPECT_EQ(test_support::signature_of(entries.at("a.jpg")), formats::jpeg);
  EXPECT_EQ(test_support::decode(entries.at("a(1).jpg")).height(), 64) << "never enlarged";
  EXPECT_EQ(entries.at("layers.psd"), "not decoded");
}

TEST_F(photo_archive_run, resize_alone_keeps_each_photos_format_and_renaming_names_them) {
  add_image("x/wide.png", 3000, 1000);
  add_image("y/small.png", 64, 48);
  parvel::resize_option_manager::instance()->set_current({4, 800, 600});
  package_->set_rename_alg(std::make_shared<parvel::rename_alg_value>("trip"));
  archive();
  const auto entries = read_archive(package_->archive_path());
  ASSERT_EQ(names_of(entries), (strings{"trip(1).png", "trip.png"}));
  EXPECT_EQ(test_support::signature_of(entries.at("trip.png")), formats::png);
  EXPECT_EQ(test_support::decode(entries.at("trip.png")).width(), 800);
}

TEST_F(photo_archive_run, empty_set_fails_before_any_stage) {
  archive();
  EXPECT_EQ(recorder_.events().size(), 1u);
  expect_failure("failed:6:We've encountered a problem zipping your photos. Please Try Again.");
}

TEST_F(photo_archive_run, deleted_photo_fails_with_its_path_and_leaves_no_archive) {
  add_file("a.jpg", "1");
  const std::string gone = add_file("gone.jpg", "2");
  fs::remove(gone);
  archive();
  expect_failure("failed:7:Zipping Failure. The file " + gone +
                 " may have been renamed, moved or deleted.");
}

TEST_F(photo_archive_run, corrupt_photo_fails_generically_and_leaves_no_archive) {
  add_file("broken.jpg", "\xFF\xD8\xFF\xE0 not really a jpeg");
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::png));
  archive();
  expect_failure("failed:6:We've encountered a problem zipping your photos. Please Try Again.");
}

TEST_F(photo_archive_run, archive_at_the_size_limit_fails_and_is_removed) {
  add_file("a.jpg", random_data(1000, 3));
  parvel::photo_archive job(package_, 1000);
  test_support::job_recorder recorder(job);
  job.run();
  EXPECT_EQ(recorder.outcome(),
            "failed:9:Parvel limit exceeded. Please remove some photos. 4GB "
            "per parvel max.");
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

// The job with that many workers; the archive is moved aside.
struct worker_outcome {
  std::vector<test_support::raw_entry> entries;
  strings events;
  bool operator==(const worker_outcome&) const = default;
};

// Deflated, stored, tiny, empty, renamed, resized and unchanged images alike.
TEST_F(photo_archive_run, workers_write_what_one_worker_writes_in_photo_order) {
  add_file("notes/table.psd", random_data(100, 4) + std::string(200000, 'x'));
  add_file("a/IMG.NEF", random_data(300000, 5));
  add_file("b/IMG.NEF", "tiny");
  add_file("empty.psd", "");
  add_image("big.jpg", 4000, 3000);
  add_image("small.png", 64, 48);
  parvel::resize_option_manager::instance()->set_current({2, 1920, 1080});
  const auto run_with = [&](unsigned workers) {
    parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
    test_support::job_recorder recorder(job);
    job.run();
    EXPECT_TRUE(package_->archived);
    const std::string kept = folder_.file(std::to_string(workers) + ".zip");
    fs::rename(package_->archive_path(), kept);
    return worker_outcome{test_support::python_raw_entries(kept), recorder.events()};
  };

  const worker_outcome sequential = run_with(1);
  ASSERT_EQ(sequential.entries.size(), 6u);
  EXPECT_EQ(sequential.entries[2].name, "IMG(1).NEF");
  EXPECT_EQ(sequential.events.size(), 9u) << "two stages, six progress reports, the ending";
  EXPECT_EQ(run_with(4), sequential);
}

}  // namespace
