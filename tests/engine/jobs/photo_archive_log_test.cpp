#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/jobs/photo_archive.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/unreadable_file.hpp"

namespace {

// The user sees the generic zipping failure; the log says what the system
// refused, so that a missing right is not taken for a vanished photo.
class photo_archive_log : public test_support::archive_test {
 protected:
  test_support::log_capture capture_;
};

TEST_F(photo_archive_log, unreadable_photo_is_logged_with_its_cause) {
  const std::string path = add_file("private.jpg", "data");
  {
    // The job's thread starts with this thread's lowered rights.
    const test_support::unreadable_file unreadable(path);
    archive();
  }
  EXPECT_EQ(recorder_.outcome(),
            "failed:6:We've encountered a problem zipping your photos. Please Try Again.");
  EXPECT_THAT(capture_.text(), testing::HasSubstr("photo_archive failed: 'cannot open the file '" +
                                                  path + "': Permission denied'"));
}

// Whether a photo converts hangs on what its decoder read, never on the
// workers: cut short, it converts no more than it is sent unchanged, and the
// decoder's words reach the log instead of a grey picture reaching the
// recipient; only its end marker missing, it converts (a progressive photo
// reads to its end before its first row).
TEST_F(photo_archive_log, photo_cut_short_fails_its_conversion_with_any_workers) {
  test_support::register_image_codecs();
  const vips::VImage image = test_support::photo_like(1600, 1200);
  const std::string photo = test_support::encode(image, ".jpg");
  const std::string path = add_file("cut.jpg", photo.substr(0, photo.size() / 10 * 9));
  parvel::resize_option_manager::instance()->set_current({2, 1920, 1080});
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(core::graphics::image_formats::png));
  const auto outcomes = [&] {
    std::string seen;
    for (const unsigned workers : {1U, 2U, 8U}) {
      for (int run = 0; run < 3; ++run) {
        parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
        test_support::job_recorder recorder(job);
        job.run();
        seen += std::to_string(workers) + " " + recorder.outcome().substr(0, 9) + "; ";
      }
    }
    return seen;
  };
  const auto every_run = [](const std::string& outcome) {
    std::string runs;
    for (const char* workers : {"1 ", "2 ", "8 "}) {
      for (int run = 0; run < 3; ++run) {
        runs += std::string(workers) + outcome + "; ";
      }
    }
    return runs;
  };
  EXPECT_EQ(outcomes(), every_run("failed:6:"));
  EXPECT_THAT(capture_.text(),
              testing::HasSubstr("cannot decode '" + path + "': Premature end of JPEG file"));
  const std::string progressive = test_support::encode(image, ".jpg[interlace]");
  test_support::write_file(path, progressive.substr(0, progressive.size() - 2));
  EXPECT_EQ(outcomes(), every_run("succeeded"));
}

// PNG cannot carry the photo's profile: its colours are converted, and said so.
TEST_F(photo_archive_log, profile_the_target_cannot_carry_is_converted_to_srgb) {
  test_support::register_image_codecs();
  const std::string path = add_file("wide.tif", "");
  test_support::write_image(
      test_support::display_p3_tagged_d65(test_support::flat(8, 8, {200, 0, 0})), path,
      core::graphics::image_formats::tiff);
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(core::graphics::image_formats::png));
  archive();
  EXPECT_EQ(recorder_.outcome(), "succeeded");
  EXPECT_THAT(capture_.text(),
              testing::HasSubstr("the photo's colour profile cannot be saved in its target "
                                 "format: its colours are converted to sRGB"));
}

// Converted at its size to GIF, whose encoder quantises the whole frame, a
// 45-megapixel photo would hold 600 MiB: refused before it is decoded.
TEST_F(photo_archive_log, photo_too_large_to_convert_is_refused_with_its_reason) {
  test_support::register_image_codecs();
  const std::string path = add_file("large.jpg", test_support::jpeg_claiming(8256, 5504));
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(core::graphics::image_formats::gif));
  archive();
  EXPECT_EQ(recorder_.outcome(),
            "failed:6:We've encountered a problem zipping your photos. Please Try Again.");
  EXPECT_THAT(capture_.text(),
              testing::HasSubstr("Cannot convert the photo '" + path +
                                 "'. [GdiplusErrorCode: 3, Could not allocate memory to process "
                                 "the method call.]: decoding and encoding it hold 607 MiB of the "
                                 "whole image at once, over 320 MiB"));
}

}  // namespace
