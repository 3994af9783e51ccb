#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "core/graphics/codec_registry.hpp"
#include "core/graphics/gdip/encoder_clsid.hpp"
#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/gdip/gdiplus_pixel_format.hpp"
#include "core/graphics/graphics_exception.hpp"
#include "core/graphics/pixel_format.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/table.hpp"

namespace {

using namespace core::graphics;
using gdip::gdiplus_exception;
using gdip::status;

struct status_case {
  const char* name;
  std::int32_t value;
  const char* text;
};

class status_frame : public testing::TestWithParam<status_case> {};

TEST_P(status_frame, what_appends_code_and_text) {
  const status_case& c = GetParam();
  const gdiplus_exception e("Cannnot draw the GDI+ Image.", static_cast<status>(c.value));
  EXPECT_EQ(gdip::status_text(static_cast<status>(c.value)), c.text);
  EXPECT_EQ(std::string(e.what()), std::string("Cannnot draw the GDI+ Image. [GdiplusErrorCode: ") +
                                       std::to_string(c.value) + ", " + c.text + "]");
  EXPECT_STREQ(e.message(), "Cannnot draw the GDI+ Image.");
  const gdiplus_exception copy = e;
  EXPECT_STREQ(copy.what(), e.what());
  EXPECT_EQ(copy.status(), e.status());
}

INSTANTIATE_TEST_SUITE_P(
    statuses, status_frame,
    testing::Values(
        status_case{"ok", 0, "Ok."},
        status_case{"invalid_parameter", 2,
                    "One of the arguments passed to the method is not valid."},
        status_case{"unknown_format", 13, "The specified image file format is not known."},
        status_case{"property_not_supported", 20,
                    "The specified property is not supported by the format of the image and, "
                    "therefore, cannot be set."},
        status_case{"beyond_table", 21, "Unrecognized GDI+ Error."},
        status_case{"negative", -1, "Unrecognized GDI+ Error."}),
    test_support::row_name());

struct pixel_case {
  const char* name;
  std::int32_t format;
  std::int32_t gdiplus;  // 0: no counterpart
  std::size_t bytes;     // 0: no size
};

class pixel_formats : public testing::TestWithParam<pixel_case> {};

TEST_P(pixel_formats, convert_both_ways_or_refuse) {
  const pixel_case& c = GetParam();
  const auto format = static_cast<pixel_format::pixel_format>(c.format);
  if (c.bytes == 0) {
    try {
      pixel_format::bytes_per_pixel(format);
      ADD_FAILURE() << "no exception";
    } catch (const graphics_exception& e) {
      EXPECT_STREQ(e.what(), "Cannot get the size of a pixel.");
    }
  } else {
    EXPECT_EQ(pixel_format::bytes_per_pixel(format), c.bytes);
  }
  if (c.gdiplus == 0) {
    try {
      gdip::to_gdiplus_pixel_format(format);
      ADD_FAILURE() << "no exception";
    } catch (const gdiplus_exception& e) {
      EXPECT_EQ(std::string(e.what()),
                "Cannot convert 'pixel_format::pixel_format': " + std::to_string(c.format) +
                    " into the 'Gdiplus::PixelFormat'. [GdiplusErrorCode: 0, Ok.]");
    }
    return;
  }
  EXPECT_EQ(gdip::to_gdiplus_pixel_format(format), c.gdiplus);
  EXPECT_EQ(gdip::to_pixel_format(c.gdiplus), format);
}

INSTANTIATE_TEST_SUITE_P(
    formats, pixel_formats,
    testing::Values(pixel_case{"rgb24", 1, 0x21808, 3}, pixel_case{"argb32", 2, 0x26200A, 4},
                    pixel_case{"unnamed_3", 3, 0, 4}, pixel_case{"rgb565", 4, 0x21006, 2},
                    pixel_case{"rgb555", 5, 0x21005, 2}, pixel_case{"unnamed_6", 6, 0, 2},
                    pixel_case{"unnamed_8", 8, 0, 4}, pixel_case{"zero", 0, 0, 0},
                    pixel_case{"nine", 9, 0, 0}),
    test_support::row_name());

TEST(encoder_lookup, by_exact_mime_type) {
  EXPECT_EQ(gdip::get_encoder_clsid("image/jpeg"), gdip::encoder_clsid::jpeg);
  EXPECT_EQ(gdip::get_encoder_clsid("image/bmp"), gdip::encoder_clsid::bmp);
  for (const char* mime : {"", "IMAGE/JPEG", "image/vnd.ms-photo", "image/psd", "image/raw"}) {
    try {
      gdip::get_encoder_clsid(mime);
      ADD_FAILURE() << mime;
    } catch (const graphics_exception& e) {
      EXPECT_EQ(std::string(e.what()),
                std::string("Cannnot find the encoder for the given file format: '") + mime + "'.");
    }
  }
}

TEST(codec_registry, holds_one_codec_for_the_start_up_formats) {
  test_support::register_image_codecs();
  const codec_map& codecs = registered_codecs();
  ASSERT_EQ(codecs.size(), 6U);
  for (image_format format : {0, 1, 2, 3, 4, 5}) {
    ASSERT_EQ(codecs.count(format), 1U) << format;
    EXPECT_EQ(codecs.at(format), codecs.at(0));
  }
  EXPECT_EQ(codecs.at(0)->name(), "GDI+ Image Codec");
}

TEST(codec_registry, refuses_a_second_codec_for_a_format) {
  test_support::register_image_codecs();
  const std::shared_ptr<image_codec> registered = registered_codecs().at(3);
  for (const auto& [format, mime] : {std::pair<image_format, const char*>{3, "image/jpeg"},
                                     std::pair<image_format, const char*>{0, ""}}) {
    try {
      register_codec(format, registered);
      ADD_FAILURE() << format;
    } catch (const graphics_exception& e) {
      EXPECT_EQ(std::string(e.what()),
                std::string("Cannot register codec: 'GDI+ Image Codec' for the '") + mime +
                    "' image format. A different codec: 'GDI+ Image Codec' already registered "
                    "for that format.");
    }
  }
  EXPECT_EQ(registered_codecs().at(3), registered);
  EXPECT_EQ(registered_codecs().size(), 6U);
}

}  // namespace
