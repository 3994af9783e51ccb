#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boost/algorithm/string/replace.hpp>
#include <filesystem>
#include <optional>
#include <sstream>

#include "core/graphics/gdip/hd_photo_decoder_program.hpp"
#include "tests/engine/jobs/photo_changes.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"

namespace {

using strings = std::vector<std::string>;
using service::step;

// The events with each run of progress reports cut to its last one.
strings without_intermediate_progress(const strings& events) {
  strings kept;
  for (const std::string& event : events) {
    const auto kind = event.substr(0, event.find(':'));
    const bool progress = kind == "progress" || kind == "upload_progress";
    if (progress && !kept.empty() && kept.back().starts_with(kind + ":")) {
      kept.back() = event;
    } else {
      kept.push_back(event);
    }
  }
  return kept;
}

std::string progress_of(std::size_t size) {
  return "upload_progress:" + std::to_string(size) + "/" + std::to_string(size);
}

class send_road_with_images : public test_support::send_road {
 protected:
  send_road_with_images() { test_support::register_image_codecs(); }

  // Adds each "<name>=<width>x<height>" as a photo-like image, each other
  // name as random bytes, which no decoder takes.
  void add(const std::string& photos) {
    std::istringstream names(photos);
    for (std::string name; names >> name;) {
      const auto size = name.find('=');
      if (size == std::string::npos) {
        add_file(name, test_support::random_data(2000, 7));
      } else {
        const auto by = name.find('x', size);
        add_image(name.substr(0, size), std::stoi(name.substr(size + 1)),
                  std::stoi(name.substr(by + 1)));
      }
    }
  }

  // "WxH" of each thumbnail the service kept, as announced and as decoded.
  strings thumbnail_sizes() const {
    strings sizes;
    for (const auto& media : service_.media()) {
      for (const auto& thumbnail : media.thumbnails) {
        const auto image = test_support::decode(test_support::read_file(thumbnail.image.string()));
        EXPECT_EQ(image.width(), static_cast<int>(thumbnail.read.width));
        EXPECT_EQ(image.height(), static_cast<int>(thumbnail.read.height));
        sizes.push_back(std::to_string(image.width()) + "x" + std::to_string(image.height()));
      }
    }
    return sizes;
  }
};

struct thumbnail_case {
  const char* name;
  std::string photos;  // see add()
  strings sizes;       // of the thumbnails sent, in order
  // Part of the line logged for a failed thumbnail, "{media}" standing for
  // the media's address; empty when none fails.
  std::string logged;
  std::optional<int> first_refused_with;
  // Made to the first photo's file as its thumbnail's reading starts.
  test_support::photo_change first_changed;
};

class thumbnail_choice : public send_road_with_images,
                         public testing::WithParamInterface<thumbnail_case> {};

// The archive job, then the upload with up to three thumbnails in photo order,
// and the package whatever thumbnail fails.
TEST_P(thumbnail_choice, delivers_archive_thumbnails_and_package) {
  const auto& c = GetParam();
  test_support::log_capture capture;
  add(c.photos);
  if (c.first_refused_with) {
    service_.set_fault(step::thumbnail, {.count = 1, .status = *c.first_refused_with});
  }
  std::optional<test_support::change_while_read> reading;
  if (c.first_changed) {
    const std::string first = c.photos.substr(0, c.photos.find('='));
    reading.emplace((folder_.path() / first).string(), c.first_changed);
  }
  const std::string total = std::to_string(package_->total_size());
  send();

  const auto packages = service_.packages();
  const auto media = service_.media();
  ASSERT_EQ(packages.size(), 1u);
  ASSERT_EQ(media.size(), 1u);
  // The upload's progress is the archive's alone: the requests after it report none.
  const std::string archive = test_support::read_file(package_->archive_path());
  EXPECT_EQ(
      without_intermediate_progress(recorder_.events()),
      (strings{"status:send_renaming", "status:send_zipping", "progress:" + total + "/" + total,
               "succeeded", "upload_preparing", "status:send_upload_start", "status:send_uploading",
               progress_of(archive.size()), "upload_succeeded"}));
  EXPECT_TRUE(test_support::read_file(media[0].archive.string()) == archive);
  EXPECT_EQ(media[0].read.original_name, package_->archive_name);
  EXPECT_EQ(media[0].read.entries, package_->photos().size());
  EXPECT_EQ(thumbnail_sizes(), c.sizes);
  const std::string logged = c.logged.empty() ? "photo_thumbnail_upload failed" : c.logged;
  const std::string line = boost::replace_all_copy(logged, "{media}", service_.media().at(0).href);
  EXPECT_EQ(capture.text().find(line) != std::string::npos, !c.logged.empty()) << capture.text();
  EXPECT_TRUE(!reading || reading->made());
  EXPECT_TRUE(!reading || !reading->mapped());
}

INSTANTIATE_TEST_SUITE_P(
    photo_sets, thumbnail_choice,
    testing::Values(
        thumbnail_case{
            "five_photos_three_thumbnails",
            "one/IMG.jpg=320x160 two/IMG.jpg=160x320 c.png=100x50 d.jpg=640x160 e.jpg=200x200",
            {"160x80", "80x160", "100x50"}},
        thumbnail_case{"psd_and_raw_are_passed_over", "a.psd b.NEF c.psd d.jpg=320x80", {"160x40"}},
        thumbnail_case{"an_unreadable_photo_uses_up_an_attempt",
                       "broken.jpg b.jpg=320x80 c.jpg=100x50 d.jpg=200x200",
                       {"160x40", "100x50"},
                       "parvel [error] - photo_thumbnail_upload failed: '"},
        thumbnail_case{"a_refused_thumbnail_uses_up_an_attempt",
                       "a.jpg=320x80 b.jpg=100x50",
                       {"100x50"},
                       "parvel [error] - photo_thumbnail_upload failed: 'req_server_thumbnail: "
                       "'{media}/thumbnail/' error: [500, Internal Server Error]'\r\n",
                       500},
        // Changed while read, a photo must not give a thumbnail of two pictures.
        thumbnail_case{"a_bmp_rewritten_while_read_uses_up_an_attempt",
                       "a.bmp=320x160 b.jpg=100x50",
                       {"100x50"},
                       "': it was written to since it was planned'\r\n",
                       std::nullopt,
                       test_support::rewrite_in_place},
        thumbnail_case{"a_tiff_truncated_and_restored_while_read_uses_up_an_attempt",
                       "a.tif=320x160 b.jpg=100x50",
                       {"100x50"},
                       "': it was written to since it was planned'\r\n",
                       std::nullopt,
                       test_support::truncate_and_restore},
        thumbnail_case{"a_jpeg_rewritten_while_read_uses_up_an_attempt",
                       "a.jpg=320x160 b.jpg=100x50",
                       {"100x50"},
                       "': it was written to since it was planned'\r\n",
                       std::nullopt,
                       test_support::rewrite_in_place},
        thumbnail_case{"a_gif_saved_smaller_while_read_uses_up_an_attempt",
                       "a.gif=320x160 b.jpg=100x50",
                       {"100x50"},
                       "': it holds 2048 bytes, not the ",
                       std::nullopt,
                       test_support::save_smaller}),
    test_support::row_name());

struct thumbnail_cancel_case {
  const char* name;
  // Else while the first thumbnail entry's answer is held back.
  bool while_made;
};

class thumbnail_cancel : public send_road_with_images,
                         public testing::WithParamInterface<thumbnail_cancel_case> {};

// The HD Photo helper here says when it has started, then takes its time limit
// (minutes) to decode: a cancel must kill it, as it stops any thumbnail's
// reading at its next strip.
TEST_P(thumbnail_cancel, skips_the_rest_and_the_package) {
  const auto& c = GetParam();
  const std::string started = folder_.file("started");
  const std::string decoder = core::graphics::gdip::hd_photo_decoder_program();
  if (c.while_made) {
    add_file("a.wdp", std::string("II\xBC\x01", 4) + test_support::random_data(1000, 3));
    ASSERT_EQ(::mkfifo(started.c_str(), 0600), 0);
    const std::string helper = folder_.file("helper");
    test_support::write_file(helper, "#!/bin/sh\necho >" + started + "\nexec sleep 600\n");
    std::filesystem::permissions(helper, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    core::graphics::gdip::set_hd_photo_decoder_program(helper);
  } else {
    add("a.jpg=320x80");
    service_.set_fault(step::thumbnail, {.count = 1, .delay = std::chrono::minutes(1)});
  }
  add("b.jpg=320x80");
  archive();
  ASSERT_EQ(recorder_.outcome(), "succeeded");
  const int word = c.while_made ? ::open(started.c_str(), O_RDONLY | O_NONBLOCK) : -1;
  test_support::the_controller().start_photo_upload(package_);
  if (c.while_made) {
    pollfd helper_started{word, POLLIN, 0};
    EXPECT_EQ(::poll(&helper_started, 1, 60000), 1);
    ::close(word);
  } else {
    // Media, ticket, archive and the thumbnail entry.
    ASSERT_TRUE(service_.wait_for_requests(4, std::chrono::seconds(60)));
  }
  test_support::the_controller().cancel_photo_upload();
  EXPECT_TRUE(recorder_.wait_for_end(std::chrono::seconds(30)));
  core::graphics::gdip::set_hd_photo_decoder_program(decoder);
  EXPECT_EQ(recorder_.outcome(), "upload_canceled");
  EXPECT_EQ(received(step::thumbnail), c.while_made ? 0u : 1u);
  EXPECT_EQ(received(step::thumbnail_ticket), 0u);
  EXPECT_EQ(received(step::thumbnail_image), 0u);
  EXPECT_EQ(received(step::package), 0u);
}

INSTANTIATE_TEST_SUITE_P(moments, thumbnail_cancel,
                         testing::Values(thumbnail_cancel_case{"while_an_entry_is_answered", false},
                                         thumbnail_cancel_case{"while_a_thumbnail_is_made", true}),
                         test_support::row_name());

}  // namespace
