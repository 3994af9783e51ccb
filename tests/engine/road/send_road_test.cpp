#include <gtest/gtest.h>

#include <filesystem>

#include "engine/errors/parvel_error.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"

namespace {

namespace fs = std::filesystem;
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

class send_road_with_images : public test_support::send_road {
 protected:
  send_road_with_images() {
    test_support::register_image_codecs();
    add_image("one/IMG.jpg", 640, 480);
    add_image("two/IMG.jpg", 300, 600);
    add_image("shot.png", 200, 100);
    psd_ = test_support::random_bytes(50000, 9);
    add_file("layers.psd", psd_);
  }

  std::string psd_;
};

TEST_F(send_road_with_images, delivers_archive_thumbnails_and_package) {
  std::uint64_t sources = 0;
  for (auto photo : package_->photos()) {
    sources += photo.file_size();
  }
  send();

  const std::string archive = test_support::read_file(package_->archive_path());
  const std::string total = std::to_string(sources);
  const auto events = recorder_.events();
  EXPECT_EQ(
      without_intermediate_progress(events),
      (strings{"status:send_renaming", "status:send_zipping", "progress:" + total + "/" + total,
               "succeeded", "upload_preparing", "status:send_upload_start", "status:send_uploading",
               "upload_progress:" + std::to_string(service_.packages().at(0).entry.size()) + "/" +
                   std::to_string(service_.packages().at(0).entry.size()),
               "upload_succeeded"}));
  const std::string whole_archive =
      "upload_progress:" + std::to_string(archive.size()) + "/" + std::to_string(archive.size());
  EXPECT_NE(std::find(events.begin(), events.end(), whole_archive), events.end());

  const auto media = service_.media();
  ASSERT_EQ(media.size(), 1u);
  EXPECT_EQ(media[0].read.original_name, package_->archive_name);
  EXPECT_EQ(media[0].read.entries, 4u);
  EXPECT_TRUE(test_support::read_file(media[0].archive.string()) == archive);
  const auto entries = test_support::read_archive(media[0].archive.string());
  EXPECT_EQ(test_support::names_of(entries),
            (strings{"IMG(1).jpg", "IMG.jpg", "layers.psd", "shot.png"}));
  EXPECT_TRUE(entries.at("layers.psd") == psd_);

  strings sizes;
  for (const auto& thumbnail : media[0].thumbnails) {
    const auto image = test_support::decode(test_support::read_file(thumbnail.image.string()));
    EXPECT_EQ(image.width(), static_cast<int>(thumbnail.read.width));
    EXPECT_EQ(image.height(), static_cast<int>(thumbnail.read.height));
    sizes.push_back(std::to_string(image.width()) + "x" + std::to_string(image.height()));
  }
  EXPECT_EQ(sizes, (strings{"160x120", "80x160", "160x80"}));

  const auto packages = service_.packages();
  ASSERT_EQ(packages.size(), 1u);
  EXPECT_EQ(packages[0].read.recipients, package_->recipients);
  EXPECT_EQ(packages[0].read.subject, package_->subject);
  EXPECT_EQ(
      packages[0].entry,
      R"(<?xml version="1.0" encoding="utf-8" ?><atom:entry xmlns:atom="http://www.w3.org/2005/Atom" )"
      R"(xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd" >)"
      R"(<atom:category scheme="http://www.lumbrel.example/xsd/desktop/1.0/2009#kind" )"
      R"(term="http://www.lumbrel.example/xsd/desktop/1.0/2009#package"/>)"
      R"(<lm:from uid="anna@x.example" /><lm:subject>Sun &amp; sea &lt;3 ]]&gt; done</lm:subject>)"
      "<lm:message>Line one\nLine two</lm:message>"
      R"(<lm:recipient uid="bob@y.example" /><lm:recipient uid="carl@z.example" />)"
      R"(<lm:media href=")" +
          media[0].href + R"(" /></atom:entry>)");

  // As the add-photos page does after a send.
  const std::string path = package_->archive_path();
  package_->reset();
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(send_road_with_images, a_refused_thumbnail_still_delivers_the_package) {
  service::fault refused;
  refused.status = 500;
  refused.count = 1;
  service_.set_fault(step::thumbnail, refused);
  send();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  EXPECT_EQ(received(step::thumbnail), 3u);
  EXPECT_EQ(service_.media().at(0).thumbnails.size(), 2u);
  EXPECT_EQ(service_.packages().size(), 1u);
}

}  // namespace
