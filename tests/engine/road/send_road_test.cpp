#include <gtest/gtest.h>

#include <boost/algorithm/string/replace.hpp>
#include <optional>
#include <sstream>

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
                       500}),
    test_support::row_name());

TEST_F(send_road_with_images, cancel_among_the_thumbnails_skips_the_rest_and_the_package) {
  add("a.jpg=320x80 b.jpg=320x80");
  // Canceled while the first thumbnail entry's answer is held back.
  service_.set_fault(step::thumbnail, {.count = 1, .delay = std::chrono::minutes(1)});
  archive();
  ASSERT_EQ(recorder_.outcome(), "succeeded");
  test_support::the_controller().start_photo_upload(package_);
  // Media, ticket, archive and the thumbnail entry.
  ASSERT_TRUE(service_.wait_for_requests(4, std::chrono::seconds(60)));
  test_support::the_controller().cancel_photo_upload();
  ASSERT_TRUE(recorder_.wait_for_end());
  EXPECT_EQ(recorder_.outcome(), "upload_canceled");
  EXPECT_EQ(received(step::thumbnail), 1u);
  EXPECT_EQ(received(step::thumbnail_ticket), 0u);
  EXPECT_EQ(received(step::thumbnail_image), 0u);
  EXPECT_EQ(received(step::package), 0u);
}

}  // namespace
