#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

// A photo cut short converts no more than it is sent unchanged: the decoder's
// words reach the log instead of a grey picture reaching the recipient.
TEST_F(photo_archive_log, photo_cut_short_fails_its_conversion) {
  test_support::register_image_codecs();
  std::string photo = test_support::encode(test_support::photo_like(1600, 1200), ".jpg");
  photo.resize(photo.size() / 2);
  const std::string path = add_file("cut.jpg", photo);
  parvel::resize_option_manager::instance()->set_current({2, 1920, 1080});
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(core::graphics::image_formats::png));
  archive();
  EXPECT_EQ(recorder_.outcome(),
            "failed:6:We've encountered a problem zipping your photos. Please Try Again.");
  EXPECT_THAT(capture_.text(), testing::HasSubstr("cannot decode '" + path +
                                                  "': VipsJpeg: Premature end of input file"));
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
