#include "engine/jobs/photo_archive.hpp"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <boost/algorithm/string/replace.hpp>
#include <filesystem>
#include <functional>
#include <future>
#include <stdexcept>
#include <thread>

#include "core/graphics/gdip/hd_photo_decoder_program.hpp"
#include "engine/controller/job_dispatch.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/temp_folder.hpp"
#include "engine/rename/rename_alg_value.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/engine/jobs/photo_changes.hpp"
#include "tests/support/descriptors.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"

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

// GIF has no orientation tag: the photo is turned as it is shown, then fitted.
TEST_F(photo_archive_run, turns_a_photo_upright_for_a_format_without_orientation) {
  vips::VImage photo = test_support::photo_like(400, 300).copy();
  photo.set("orientation", 6);
  add_file("phone.jpg", test_support::encode(photo, ".jpg"));
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::gif));
  parvel::resize_option_manager::instance()->set_current({2, 200, 100});
  archive();

  ASSERT_EQ(recorder_.outcome(), "succeeded");
  const auto gif = test_support::decode(read_archive(package_->archive_path()).at("phone.gif"));
  EXPECT_EQ(gif.width(), 100);
  EXPECT_EQ(gif.height(), 133);
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

TEST_F(photo_archive_run, a_throwing_listener_of_success_gets_no_second_outcome) {
  add_file("a.jpg", random_data(1000, 3));
  parvel::photo_archive job(package_);
  test_support::job_recorder recorder(job);
  job.signal_succeeded.connect([](const auto&) { throw std::runtime_error("window gone"); });
  EXPECT_THROW(job.run(), std::runtime_error);
  EXPECT_EQ(recorder.events(), (strings{"status:send_renaming", "status:send_zipping",
                                        "progress:1000/1000", "succeeded"}));
  EXPECT_TRUE(fs::exists(package_->archive_path())) << "the archive announced is kept";
  EXPECT_TRUE(package_->archived);
}

struct limit_case {
  const char* name;
  std::vector<std::size_t> photo_sizes;
  unsigned workers;
};

class photo_archive_limit : public photo_archive_run,
                            public testing::WithParamInterface<limit_case> {};

// Incompressible photos against a small limit. A missing photo follows them:
// reaching it would fail with code 7 instead.
TEST_P(photo_archive_limit, stops_where_the_archive_reaches_the_limit) {
  constexpr std::uint64_t limit = 1 << 20;
  const auto& c = GetParam();
  for (std::size_t i = 0; i < c.photo_sizes.size(); ++i) {
    add_file("p" + std::to_string(i) + ".jpg",
             random_data(c.photo_sizes[i], static_cast<unsigned>(i)));
  }
  fs::remove(add_file("never_reached.jpg", "x"));
  parvel::photo_archive job(package_, limit, c.workers);
  test_support::job_recorder recorder(job);
  job.run();
  EXPECT_EQ(recorder.outcome(), "failed:9:" + std::string(parvel::parvel_error(9).what()));
  EXPECT_FALSE(fs::exists(package_->archive_path()));
}

INSTANTIATE_TEST_SUITE_P(
    sizes, photo_archive_limit,
    testing::Values(limit_case{"photos_written_in_turn", {700 << 10, 700 << 10, 700 << 10}, 1},
                    limit_case{"photos_prepared_ahead", {700 << 10, 700 << 10, 700 << 10}, 4},
                    limit_case{"one_photo_streamed_past_the_limit", {9 << 20}, 1},
                    limit_case{"one_photo_prepared_past_the_limit", {9 << 20}, 4}),
    test_support::row_name());

struct large_photo_case {
  const char* name;
  const char* file;
  int width, height;
  core::graphics::image_format convert;
  parvel::photo_resize_option resize;
  const char* entry;
  int entry_width, entry_height;
};

class photo_archive_large : public photo_archive_run,
                            public testing::WithParamInterface<large_photo_case> {};

// Photos far larger than the memory a conversion may hold convert, read in
// strips, beside a small one that the other workers take meanwhile. A
// constant colour keeps the files small.
TEST_P(photo_archive_large, converts_within_the_budget) {
  const auto& c = GetParam();
  add_file(c.file, test_support::encode(test_support::flat(c.width, c.height, {200, 120, 40}),
                                        fs::path(c.file).extension().c_str()));
  add_image("small.jpg", 640, 480);
  parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(c.convert));
  parvel::resize_option_manager::instance()->set_current(c.resize);
  parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, 4);
  test_support::job_recorder recorder(job);
  job.run();

  ASSERT_EQ(recorder.outcome(), "succeeded");
  const auto entries = read_archive(package_->archive_path());
  ASSERT_EQ(entries.count(c.entry), 1U) << testing::PrintToString(names_of(entries));
  const vips::VImage entry = vips::VImage::new_from_buffer(
      entries.at(c.entry), "", vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
  EXPECT_EQ(entry.width(), c.entry_width);
  EXPECT_EQ(entry.height(), c.entry_height);
  // One pass over the pixels: the band means in column 4 of the rows after the first.
  const vips::VImage stats = entry.stats();
  EXPECT_NEAR(stats.getpoint(4, 1)[0], 200, 3);
  EXPECT_NEAR(stats.getpoint(4, 3)[0], 40, 3);
}

INSTANTIATE_TEST_SUITE_P(photos, photo_archive_large,
                         testing::Values(large_photo_case{"panorama_jpeg_resized_into_1920_x_1080",
                                                          "pano.jpg",
                                                          20000,
                                                          15000,
                                                          formats::none,
                                                          {2, 1920, 1080},
                                                          "pano.jpg",
                                                          1440,
                                                          1080},
                                         large_photo_case{"png_converted_to_jpeg_at_its_own_size",
                                                          "big.png",
                                                          12000,
                                                          9000,
                                                          formats::jpeg,
                                                          {},
                                                          "big.jpg",
                                                          12000,
                                                          9000}),
                         test_support::row_name());

// Whether work, run on a thread of its own, ends within a bound. If it does
// not, the readers waiting to open the pipe at path are let go until it ends,
// so that the fault fails the test instead of hanging it.
bool ends_without_a_writer(const std::string& path, const std::function<void()>& work) {
  auto ended = std::async(std::launch::async, work);
  const bool in_time = ended.wait_for(std::chrono::seconds(15)) == std::future_status::ready;
  while (ended.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
    ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  }
  return in_time;
}

// A named pipe put in place of a photo after it was added: no writer ever
// comes, so the job must neither wait for one nor take it for a photo.
TEST_F(photo_archive_run, a_photo_replaced_by_a_named_pipe_fails_the_job_at_once) {
  add_image("a.jpg", 64, 48);
  const std::string pipe = add_file("b.jpg", "photo");
  fs::remove(pipe);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const auto format : {formats::none, formats::png}) {
    for (const unsigned workers : {1u, 4u}) {
      SCOPED_TRACE(testing::Message() << "format " << format << ", workers " << workers);
      parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(format));
      parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
      test_support::job_recorder recorder(job);
      EXPECT_TRUE(ends_without_a_writer(pipe, [&] { job.run(); }));
      EXPECT_EQ(recorder.outcome(), "failed:6:" + std::string(parvel::parvel_error(6).what()));
      EXPECT_FALSE(fs::exists(package_->archive_path()));
    }
  }
}

// A photo too large to be held in memory is streamed at its turn: cut short
// after the job measured it, it must not go in truncated.
TEST_F(photo_archive_run, a_streamed_photo_cut_short_after_planning_fails_the_job) {
  for (const unsigned workers : {1u, 4u}) {
    SCOPED_TRACE(workers);
    add_file("a.jpg", random_data(1000, 1));
    const std::string large = add_file("large.NEF", "");
    fs::resize_file(large, (64 << 20) + 1);  // sparse: no disk, quick to read
    parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
    test_support::job_recorder recorder(job);
    recorder.on_first("progress:", [&] { fs::resize_file(large, 1 << 20); });
    job.run();
    EXPECT_EQ(recorder.outcome(), "failed:6:" + std::string(parvel::parvel_error(6).what()));
    EXPECT_FALSE(fs::exists(package_->archive_path()));
    package_->clear_photos();
  }
}

// What another program does to a photo between the job's plan and the end of
// its reading.
struct change_case {
  const char* name;
  std::string photo;
  test_support::photo_change change;
  // Else at the first photo's progress, before the photo's turn.
  bool while_read;
  // After "cannot read the file '<path>': "; "{planned}" its planned size.
  std::string words;
};

class photo_archive_changed : public photo_archive_run,
                              public testing::WithParamInterface<change_case> {};

// A converted photo is read at its turn, and as the encoder asks for its rows:
// changed meanwhile it must fail as a cut file does, never go in as a grey
// picture or a mix of two.
TEST_P(photo_archive_changed, fails_the_job_naming_the_change) {
  const change_case& c = GetParam();
  test_support::log_capture log;
  add_image("a.jpg", 64, 48);
  add_image(c.photo, 640, 480);
  const std::string changed = (folder_.path() / c.photo).string();
  const std::string planned = std::to_string(fs::file_size(changed));
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::jpeg));
  // One worker: the second photo is converted only after the first is written.
  parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, 1);
  test_support::job_recorder recorder(job);
  std::optional<test_support::change_while_read> reading;
  if (c.while_read) {
    reading.emplace(changed, c.change);
  } else {
    recorder.on_first("progress:", [&] { c.change(changed); });
  }
  job.run();

  EXPECT_EQ(recorder.outcome(), "failed:6:" + std::string(parvel::parvel_error(6).what()));
  EXPECT_FALSE(fs::exists(package_->archive_path()));
  EXPECT_THAT(log.text(),
              testing::HasSubstr("cannot read the file '" + changed +
                                 "': " + boost::replace_all_copy(c.words, "{planned}", planned)));
  EXPECT_TRUE(!reading || reading->made());
  EXPECT_TRUE(!reading || !reading->mapped());
}

const std::string written_to = "it was written to since it was planned";
const std::string saved_smaller = "it holds 2048 bytes, not the {planned} planned";

INSTANTIATE_TEST_SUITE_P(
    changes, photo_archive_changed,
    testing::Values(change_case{"jpeg_cut_short_before_its_turn", "b.jpg",
                                [](const std::string& path) { fs::resize_file(path, 1000); }, false,
                                "it holds 1000 bytes, not the {planned} planned"},
                    change_case{"bmp_rewritten_before_its_turn", "b.bmp",
                                test_support::rewrite_in_place, false, written_to},
                    change_case{"bmp_rewritten_while_read", "b.bmp", test_support::rewrite_in_place,
                                true, written_to},
                    change_case{"bmp_saved_smaller_while_read", "b.bmp", test_support::save_smaller,
                                true, saved_smaller},
                    change_case{"tiff_truncated_and_restored_while_read", "b.tif",
                                test_support::truncate_and_restore, true, written_to},
                    change_case{"tiff_saved_smaller_while_read", "b.tif",
                                test_support::save_smaller, true, saved_smaller},
                    change_case{"jpeg_rewritten_while_read", "b.jpg",
                                test_support::rewrite_in_place, true, written_to},
                    change_case{"jpeg_truncated_and_restored_while_read", "b.jpg",
                                test_support::truncate_and_restore, true, written_to},
                    change_case{"gif_rewritten_while_read", "b.gif", test_support::rewrite_in_place,
                                true, written_to},
                    change_case{"gif_saved_smaller_while_read", "b.gif", test_support::save_smaller,
                                true, saved_smaller}),
    test_support::row_name());

// Encoded larger than the job holds in memory, a converted photo goes through
// a file of the temporary folder and is deflated from there, as a large
// unchanged file is: the same archive with any number of workers, and
// nothing of the file left afterwards.
TEST_F(photo_archive_run, a_converted_photo_too_large_to_hold_goes_in_whole_through_a_file) {
  add_image("wide.jpg", 5000, 4600);  // 69 MB as a BMP
  add_image("small.jpg", 64, 48);
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::bmp));
  std::vector<std::vector<test_support::raw_entry>> runs;
  for (const unsigned workers : {1u, 4u}) {
    SCOPED_TRACE(workers);
    const int descriptors = test_support::open_descriptors();
    parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
    test_support::job_recorder recorder(job);
    job.run();
    ASSERT_EQ(recorder.outcome(), "succeeded");
    EXPECT_EQ(test_support::open_descriptors(), descriptors);
    const auto entries = read_archive(package_->archive_path());
    ASSERT_EQ(names_of(entries), (strings{"small.bmp", "wide.bmp"}));
    const vips::VImage wide = test_support::decode(entries.at("wide.bmp"));
    EXPECT_EQ(wide.width(), 5000);
    EXPECT_EQ(wide.height(), 4600);
    runs.push_back(test_support::python_raw_entries(package_->archive_path()));
    for (const auto& file : fs::directory_iterator(package_->temp_folder())) {
      EXPECT_FALSE(file.path().filename().string().starts_with("spool")) << file.path();
    }
    package_->remove_archive();
  }
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_EQ(runs[0][0].method, 8) << "deflated as it was read";
}

// The program's exit: imaging is shut down right after this returns, so no
// conversion may still run then.
TEST_F(photo_archive_run, exit_during_a_conversion_returns_once_the_job_ended_canceled) {
  for (int i = 0; i < 4; ++i) {
    add_image("big" + std::to_string(i) + ".jpg", 4000, 3000);
  }
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::jpeg));
  std::promise<void> zipping;
  recorder_.on_first("status:send_zipping", [&] { zipping.set_value(); });
  test_support::the_controller().start_photo_archive(package_);
  ASSERT_EQ(zipping.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
  ASSERT_TRUE(parvel::cancel_all_jobs_and_wait(std::chrono::minutes(1)));
  EXPECT_EQ(recorder_.outcome(), "canceled");
  EXPECT_FALSE(fs::exists(package_->archive_path()));
  ASSERT_TRUE(recorder_.wait_for_end(std::chrono::seconds(0)));
}

// The HD Photo helper here says when it has started, then takes its time limit
// (minutes) to decode: a cancel must kill it. The other conversions stop
// their evaluation (image_chain's stopped saves).
TEST_F(photo_archive_run, cancel_during_a_conversion_ends_it_at_once_leaving_nothing) {
  add_file("slow.wdp", std::string("II\xBC\x01", 4) + random_data(1000, 3));
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(formats::png));
  const std::string started = folder_.file("started");
  ASSERT_EQ(::mkfifo(started.c_str(), 0600), 0);
  const std::string helper = folder_.file("helper");
  test_support::write_file(helper, "#!/bin/sh\necho >" + started + "\nexec sleep 600\n");
  fs::permissions(helper, fs::perms::owner_exec, fs::perm_options::add);
  const std::string decoder = core::graphics::gdip::hd_photo_decoder_program();
  core::graphics::gdip::set_hd_photo_decoder_program(helper);
  for (const unsigned workers : {1u, 4u}) {
    SCOPED_TRACE(workers);
    const int descriptors = test_support::open_descriptors();
    parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
    test_support::job_recorder recorder(job);
    const int word = ::open(started.c_str(), O_RDONLY | O_NONBLOCK);
    std::thread run([&] { job.run(); });
    pollfd helper_started{word, POLLIN, 0};
    EXPECT_EQ(::poll(&helper_started, 1, 60000), 1);
    ::close(word);
    job.cancel();
    EXPECT_TRUE(recorder.wait_for_end(std::chrono::seconds(30)));
    run.join();
    EXPECT_EQ(recorder.outcome(), "canceled");
    EXPECT_TRUE(::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD) << "the helper is reaped";
    EXPECT_EQ(test_support::open_descriptors(), descriptors);
    EXPECT_EQ(std::distance(fs::directory_iterator(package_->temp_folder()), {}), 1)
        << "only the folder's mark of use";
  }
  core::graphics::gdip::set_hd_photo_decoder_program(decoder);
}

// The job with that many workers; the archive is moved aside.
struct worker_outcome {
  std::vector<test_support::raw_entry> entries;
  strings events;
  bool operator==(const worker_outcome&) const = default;
};

// Deflated, stored, tiny, empty, renamed, resized and unchanged images alike,
// in an archive every reader accepts.
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
    test_support::unzip_test(kept);
    test_support::seven_zip_test(kept);
    EXPECT_EQ(test_support::bsdtar_list(kept),
              "table.psd\nIMG.NEF\nIMG(1).NEF\nempty.psd\nbig.jpg\nsmall.png\n");
    return worker_outcome{test_support::python_raw_entries(kept), recorder.events()};
  };

  const worker_outcome sequential = run_with(1);
  ASSERT_EQ(sequential.entries.size(), 6u);
  EXPECT_EQ(sequential.entries[2].name, "IMG(1).NEF");
  EXPECT_EQ(sequential.entries[0].method, 8) << "text deflates";
  EXPECT_EQ(sequential.entries[1].method, 0) << "noise is stored";
  EXPECT_EQ(sequential.events.size(), 9u) << "two stages, six progress reports, the ending";
  EXPECT_EQ(run_with(4), sequential);
}

struct taken_name_case {
  const char* name;
  int taken;  // counters whose names another copy took
  bool as_link;
  bool send_fails;
};

class archive_name_taken : public photo_archive_run,
                           public testing::WithParamInterface<taken_name_case> {
 protected:
  std::string path_with(std::int32_t counter) {
    package_->counter = counter;
    package_->make_archive_name();
    return package_->archive_path();
  }
};

// Two copies of the program sharing the temp folder read one counter: an
// archive is never written over, nor removed from, a name the other took.
TEST_P(archive_name_taken, moves_on_to_the_next_counter_and_leaves_the_file_alone) {
  const taken_name_case& c = GetParam();
  package_->sender = "copies@x.example";
  std::vector<std::string> others;
  for (int i = 0; i < c.taken; ++i) {
    others.push_back(path_with(5 + i));
    const std::string file = c.as_link ? others.back() + ".target" : others.back();
    test_support::write_file(file, "another copy's archive");
    if (c.as_link) {
      fs::create_symlink(file, others.back());
    }
  }
  path_with(5);
  const std::string photo = random_data(5000, 9);
  add_file("a.jpg", photo);
  if (c.send_fails) {
    fs::remove(add_file("gone.jpg", "2"));
  }
  archive();

  EXPECT_EQ(package_->counter, 5 + c.taken) << "the counter follows the name used";
  if (c.send_fails) {
    EXPECT_TRUE(recorder_.outcome().starts_with("failed:7:")) << recorder_.outcome();
    EXPECT_FALSE(fs::exists(package_->archive_path()));
  } else {
    EXPECT_EQ(read_archive(package_->archive_path()),
              (std::map<std::string, std::string>{{"a.jpg", photo}}));
  }
  for (const std::string& path : others) {
    EXPECT_EQ(test_support::read_file(path), "another copy's archive") << path;
    fs::remove(path);
    fs::remove(path + ".target");
  }
}

INSTANTIATE_TEST_SUITE_P(takers, archive_name_taken,
                         testing::Values(taken_name_case{"an_archive", 1, false, false},
                                         taken_name_case{"two_archives", 2, false, false},
                                         taken_name_case{"a_link_to_an_archive", 1, true, false},
                                         taken_name_case{"by_a_send_that_fails", 1, false, true}),
                         test_support::row_name());

// No temp folder served at start: the program runs on, and each send fails.
TEST_F(photo_archive_run, without_a_temp_folder_fails_generically_and_writes_nowhere) {
  test_support::log_capture log;
  const auto package = std::make_shared<parvel::package_info>(
      []() -> std::string { parvel::throw_temp_path_error(ENOENT); });
  package->sender = "photos@x.example";
  package->make_archive_name();
  package->add_entries({parvel::photo_entry{add_file("a.jpg", "1")}});
  parvel::photo_archive job(package);
  test_support::job_recorder recorder(job);
  job.run();

  EXPECT_EQ(recorder.outcome(), "failed:6:" + std::string(parvel::parvel_error(6).what()));
  EXPECT_FALSE(package->archived);
  EXPECT_EQ(log.lines(),
            (strings{"parvel [error] - No folder for archives: Cannot get the temp path: "
                     "No such file or directory",
                     "parvel [error] - photo_archive failed: 'Cannot get the temp path: "
                     "No such file or directory'"}));
  package->reset();
  EXPECT_FALSE(fs::exists(package->archive_name)) << "nothing relative to the working folder";
}

}  // namespace
