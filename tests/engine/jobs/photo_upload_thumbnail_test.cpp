#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/engine/jobs/photo_upload_fixture.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"

namespace {

namespace formats = core::graphics::image_formats;
namespace paths = test_support::upload_paths;
using strings = std::vector<std::string>;

struct photo {
  std::string name;
  int width = 0;  // 0: random bytes, which no decoder takes
  int height = 0;
};

class photo_upload_thumbnails : public test_support::upload_test {
 protected:
  photo_upload_thumbnails() {
    test_support::register_image_codecs();
    script_service();
    write_archive("zip");
  }

  void add(const photo& p) {
    if (p.width == 0) {
      add_photo(p.name, test_support::random_bytes(2000, 7));
      return;
    }
    const std::string path = folder_.file(p.name);
    const auto format = p.name.ends_with(".png") ? formats::png : formats::jpeg;
    test_support::write_image(test_support::photo_like(p.width, p.height), path, format);
    package_->add_entries({parvel::photo_entry{path}});
  }

  // "WxH" of each thumbnail entry posted.
  strings announced_sizes() const {
    strings sizes;
    for (const auto& request : requests_to(paths::thumbnail)) {
      unsigned width = 0, height = 0;
      const auto at = request.body.find("<lm:resolution ");
      EXPECT_EQ(std::sscanf(request.body.c_str() + std::min(at, request.body.size()),
                            "<lm:resolution width=\"%u\" height=\"%u\" />", &width, &height),
                2)
          << request.body;
      sizes.push_back(std::to_string(width) + "x" + std::to_string(height));
    }
    return sizes;
  }

  // "WxH" of each JPEG uploaded, as libvips decodes it.
  strings uploaded_sizes() const {
    strings sizes;
    for (const auto& request : requests_to(paths::thumbnail_jpeg)) {
      EXPECT_EQ(request.header("Content-Type"), "image/jpeg");
      EXPECT_EQ(test_support::signature_of(request.body), formats::jpeg);
      const auto image = test_support::decode(request.body);
      sizes.push_back(std::to_string(image.width()) + "x" + std::to_string(image.height()));
    }
    return sizes;
  }
};

struct thumbnail_case {
  const char* name;
  std::vector<photo> photos;
  strings sizes;  // of the thumbnails sent, in order
  bool logs_failure;
};

class thumbnail_choice : public photo_upload_thumbnails,
                         public testing::WithParamInterface<thumbnail_case> {};

TEST_P(thumbnail_choice, sends_up_to_three_jpegs_within_160_pixels) {
  const auto& c = GetParam();
  test_support::log_capture capture;
  for (const photo& p : c.photos) {
    add(p);
  }
  send();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  EXPECT_EQ(announced_sizes(), c.sizes);
  EXPECT_EQ(uploaded_sizes(), c.sizes);
  EXPECT_EQ(requests_to(paths::package).size(), 1u);
  EXPECT_EQ(capture.text().find("photo_thumbnail_upload failed: '") != std::string::npos,
            c.logs_failure);
}

INSTANTIATE_TEST_SUITE_P(photo_sets, thumbnail_choice,
                         testing::Values(thumbnail_case{"two_photos_two_thumbnails",
                                                        {{"a.jpg", 320, 80}, {"b.png", 100, 200}},
                                                        {"160x40", "80x160"},
                                                        false},
                                         thumbnail_case{"five_photos_three_thumbnails",
                                                        {{"a.jpg", 320, 160},
                                                         {"b.jpg", 160, 320},
                                                         {"c.jpg", 100, 50},
                                                         {"d.jpg", 640, 160},
                                                         {"e.jpg", 200, 200}},
                                                        {"160x80", "80x160", "100x50"},
                                                        false},
                                         thumbnail_case{
                                             "psd_and_raw_are_passed_over",
                                             {{"a.psd"}, {"b.NEF"}, {"c.psd"}, {"d.jpg", 320, 80}},
                                             {"160x40"},
                                             false},
                                         thumbnail_case{"an_unreadable_photo_uses_up_an_attempt",
                                                        {{"broken.jpg"},
                                                         {"b.jpg", 320, 80},
                                                         {"c.jpg", 100, 50},
                                                         {"d.jpg", 200, 200}},
                                                        {"160x40", "100x50"},
                                                        true}),
                         test_support::row_name());

TEST_F(photo_upload_thumbnails, a_refused_thumbnail_is_only_logged) {
  test_support::log_capture capture;
  add({"a.jpg", 320, 80});
  service::reply refused;
  refused.status = 500;
  answer("POST", paths::thumbnail, refused);
  send();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  EXPECT_EQ(requests_to(paths::package).size(), 1u);
  const std::string line =
      "parvel [error] - photo_thumbnail_upload failed: 'req_server_thumbnail: '" + base() +
      "/media/1/thumbnail/' error: [500, Internal Server Error]'";
  const auto lines = capture.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << capture.text();
}

TEST_F(photo_upload_thumbnails, cancel_during_the_thumbnails_skips_the_rest_and_the_package) {
  add({"a.jpg", 320, 80});
  add({"b.jpg", 320, 80});
  service::route canceling;
  canceling.method = "POST";
  canceling.path = paths::thumbnail;
  canceling.respond = [this](const service::received_request&) {
    test_support::the_controller().cancel_photo_upload();
    service::reply r;
    r.body = test_support::thumbnail_answer(base() + "/thumbnails/1");
    return r;
  };
  server_.add_route(canceling);
  send();
  EXPECT_EQ(recorder_.outcome(), "upload_canceled");
  EXPECT_EQ(requests_to(paths::thumbnail).size(), 1u);
  EXPECT_TRUE(requests_to(paths::thumbnail_jpeg).empty());
  EXPECT_TRUE(requests_to(paths::package).empty());
}

}  // namespace
