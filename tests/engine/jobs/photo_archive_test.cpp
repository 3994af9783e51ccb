#include "engine/jobs/photo_archive.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/rename/rename_alg_value.hpp"
#include "tests/core/io/archivers/zip_test_support.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
namespace formats = core::graphics::image_formats;
using strings = std::vector<std::string>;

using test_support::names_of;
using test_support::random_bytes;
using test_support::read_archive;

class photo_archive_run : public test_support::archive_test {
 protected:
  void SetUp() override { test_support::register_image_codecs(); }

  std::string add_image(const std::string& relative, int width, int height,
                        core::graphics::image_format format) {
    const fs::path path = folder_.path() / relative;
    fs::create_directories(path.parent_path());
    test_support::write_image(test_support::photo_like(width, height), path.string(), format);
    package_->add_entries({parvel::photo_entry{path.string()}});
    return path.string();
  }
};

TEST_F(photo_archive_run, stores_unchanged_photos_byte_for_byte_under_unique_names) {
  const std::string a = random_bytes(300000, 1), b = random_bytes(5, 2), c = "text text text text";
  add_file("one/IMG.jpg", a);
  add_file("two/IMG.jpg", b);
  add_file("three/img(1).JPG", c);
  add_file("raw.NEF", a);
  send();

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
  add_image("big.jpg", 4000, 3000, formats::jpeg);
  add_image("a.png", 64, 48, formats::png);
  add_image("a.bmp", 48, 64, formats::bmp);
  add_file("layers.psd", "not decoded");
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::jpeg));
  parvel::resize_option_manager::instance()->set_current({2, 1920, 1080});
  send();

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

TEST_F(photo_archive_run, resize_alone_keeps_each_photos_format) {
  add_image("wide.png", 3000, 1000, formats::png);
  parvel::resize_option_manager::instance()->set_current({4, 800, 600});
  send();
  const auto entries = read_archive(package_->archive_path());
  ASSERT_EQ(names_of(entries), strings{"wide.png"});
  EXPECT_EQ(test_support::signature_of(entries.at("wide.png")), formats::png);
  EXPECT_EQ(test_support::decode(entries.at("wide.png")).width(), 800);
}

TEST_F(photo_archive_run, renamed_photos_take_their_target_names) {
  add_file("x/a.jpg", "1");
  add_file("y/b.jpg", "2");
  package_->set_rename_alg(std::make_shared<parvel::rename_alg_value>("trip"));
  send();
  EXPECT_EQ(names_of(read_archive(package_->archive_path())), (strings{"trip(1).jpg", "trip.jpg"}));
}

TEST_F(photo_archive_run, empty_set_fails_before_any_stage) {
  send();
  EXPECT_EQ(recorder_.events(),
            strings{"failed:6:We've encountered a problem zipping your photos. Please Try Again."});
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

TEST_F(photo_archive_run, deleted_photo_fails_with_its_path_and_leaves_no_archive) {
  add_file("a.jpg", "1");
  const std::string gone = add_file("gone.jpg", "2");
  fs::remove(gone);
  send();
  EXPECT_EQ(recorder_.outcome(), "failed:7:Zipping Failure. The file " + gone +
                                     " may have been renamed, moved or deleted.");
  EXPECT_FALSE(fs::exists(package_->archive_path()));
  EXPECT_FALSE(package_->archived);
}

TEST_F(photo_archive_run, corrupt_photo_fails_generically_and_leaves_no_archive) {
  add_file("broken.jpg", "\xFF\xD8\xFF\xE0 not really a jpeg");
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::png));
  send();
  EXPECT_EQ(recorder_.outcome().rfind("failed:6:", 0), 0u) << recorder_.outcome();
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

struct options_case {
  const char* name;
  parvel::photo_resize_option resize;
};

class archive_workers : public photo_archive_run, public testing::WithParamInterface<options_case> {
 protected:
  struct outcome {
    std::vector<test_support::raw_entry> entries;
    strings progress;
    bool operator==(const outcome&) const = default;
  };

  // Runs the job with that many workers; the archive is moved aside.
  outcome run_with(unsigned workers) {
    auto job = std::make_shared<parvel::photo_archive>(
        package_, parvel::photo_archive::default_size_limit, workers);
    outcome result;
    job->signal_progress.connect([&](std::uint64_t done, std::uint64_t total) {
      result.progress.push_back(std::to_string(done) + "/" + std::to_string(total));
    });
    job->run();
    EXPECT_TRUE(package_->archived);
    const std::string kept = folder_.file(std::to_string(workers) + ".zip");
    fs::rename(package_->archive_path(), kept);
    result.entries = test_support::python_raw_entries(kept);
    return result;
  }
};

// Deflated, stored, tiny, empty, renamed and converted entries alike.
TEST_P(archive_workers, write_what_one_worker_writes_in_photo_order) {
  add_file("notes/table.psd", test_support::random_bytes(100, 4) + std::string(200000, 'x'));
  add_file("a/IMG.NEF", random_bytes(300000, 5));
  add_file("b/IMG.NEF", "tiny");
  add_file("empty.psd", "");
  add_image("big.jpg", 4000, 3000, formats::jpeg);
  add_image("small.png", 64, 48, formats::png);
  parvel::resize_option_manager::instance()->set_current(GetParam().resize);

  const outcome sequential = run_with(1);
  ASSERT_EQ(sequential.entries.size(), 6u);
  EXPECT_EQ(sequential.entries[2].name, "IMG(1).NEF");
  EXPECT_EQ(sequential.progress.size(), 6u);
  EXPECT_EQ(run_with(4), sequential);
}

INSTANTIATE_TEST_SUITE_P(rows, archive_workers,
                         testing::Values(options_case{"unchanged", {0, 0, 0}},
                                         options_case{"resized", {2, 1920, 1080}}),
                         test_support::row_name());

TEST_F(photo_archive_run, archive_at_the_size_limit_fails_and_is_removed) {
  add_file("a.jpg", random_bytes(1000, 3));
  auto job = std::make_shared<parvel::photo_archive>(package_, 1000);
  std::string outcome;
  job->signal_failed.connect(
      [&](const parvel::parvel_error& e) { outcome = std::to_string(e.code()); });
  job->signal_succeeded.connect([&](const auto&) { outcome = "succeeded"; });
  job->run();
  EXPECT_EQ(outcome, "9");
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

}  // namespace
