#include <gtest/gtest.h>

#include <memory>

#include "core/graphics/codec_registry.hpp"
#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/graphics_exception.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/image_codecs.hpp"

namespace {

using namespace core::graphics;
using gdip::status;

// 20 is the last status with a text of its own.
TEST(gdiplus_exception, what_appends_the_status_and_its_text) {
  EXPECT_STREQ(
      gdip::gdiplus_exception("Cannnot draw the GDI+ Image.", static_cast<status>(20)).what(),
      "Cannnot draw the GDI+ Image. [GdiplusErrorCode: 20, The specified property is not "
      "supported by the format of the image and, therefore, cannot be set.]");
  for (const int beyond : {21, -1}) {
    EXPECT_EQ(gdip::status_text(static_cast<status>(beyond)), "Unrecognized GDI+ Error.");
  }
}

TEST(codec_registry, holds_one_codec_for_the_start_up_formats_and_refuses_a_second) {
  test_support::register_image_codecs();
  const std::shared_ptr<image_codec> registered = registered_codecs().at(3);
  for (const auto& [format, mime] : {std::pair<image_format, const char*>{3, "image/jpeg"},
                                     std::pair<image_format, const char*>{0, ""}}) {
    test_support::expect_error<graphics_exception>(
        [&] { register_codec(format, registered); },
        std::string("Cannot register codec: 'GDI+ Image Codec' for the '") + mime +
            "' image format. A different codec: 'GDI+ Image Codec' already registered for that "
            "format.");
  }
  const codec_map& codecs = registered_codecs();
  ASSERT_EQ(codecs.size(), 6U);
  for (image_format format : {0, 1, 2, 3, 4, 5}) {
    EXPECT_EQ(codecs.at(format), registered) << format;
  }
}

}  // namespace
