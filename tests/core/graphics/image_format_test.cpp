#include "core/graphics/image_format.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/table.hpp"

namespace {

using core::graphics::image_format;

struct extension_case {
  const char* name;
  const char* extension;
  image_format format;
};

class format_from_extension : public testing::TestWithParam<extension_case> {};

TEST_P(format_from_extension, lower_cases_then_compares_exactly) {
  EXPECT_EQ(core::graphics::image_format_from_extension(GetParam().extension), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    extensions, format_from_extension,
    testing::Values(extension_case{"upper_jpg", ".JPG", 3},
                    extension_case{"mixed_jpeg", ".Jpeg", 3}, extension_case{"jfif", ".jfif", 3},
                    extension_case{"dib", ".dib", 1}, extension_case{"wdp", ".wdp", 6},
                    extension_case{"srf", ".srf", 8}, extension_case{"crw", ".crw", 8},
                    extension_case{"upper_cr2", ".CR2", 8}, extension_case{"no_dot", "jpg", 0},
                    extension_case{"trailing_blank", ".jpg ", 0}, extension_case{"empty", "", 0},
                    extension_case{"dot_only", ".", 0}, extension_case{"psd_is_known", ".PSD", 7}),
    test_support::row_name());

struct format_case {
  const char* name;
  image_format format;
  const char* default_extension;  // nullptr: no entry
  const char* mime_type;
};

class format_entry : public testing::TestWithParam<format_case> {};

TEST_P(format_entry, default_extension_and_mime_type) {
  const format_case& c = GetParam();
  EXPECT_EQ(core::graphics::image_format_mime_type(c.format), c.mime_type);
  if (c.default_extension == nullptr) {
    for (const auto& call :
         {+[](image_format f) { core::graphics::image_format_default_extension(f); },
          +[](image_format f) { core::graphics::image_format_extensions(f); }}) {
      try {
        call(c.format);
        ADD_FAILURE() << "no exception";
      } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "image format is not supported.");
      }
    }
    return;
  }
  EXPECT_EQ(core::graphics::image_format_default_extension(c.format), c.default_extension);
  // Every listed extension leads back to its own format.
  for (const std::string& extension : core::graphics::image_format_extensions(c.format)) {
    EXPECT_EQ(core::graphics::image_format_from_extension(extension), c.format) << extension;
  }
}

INSTANTIATE_TEST_SUITE_P(formats, format_entry,
                         testing::Values(format_case{"none", 0, nullptr, ""},
                                         format_case{"bmp", 1, ".bmp", "image/bmp"},
                                         format_case{"gif", 2, ".gif", "image/gif"},
                                         format_case{"jpeg", 3, ".jpg", "image/jpeg"},
                                         format_case{"png", 4, ".png", "image/png"},
                                         format_case{"tiff", 5, ".tif", "image/tiff"},
                                         format_case{"hd_photo", 6, ".hdp", "image/vnd.ms-photo"},
                                         format_case{"psd", 7, ".psd", "image/psd"},
                                         format_case{"raw", 8, ".3fr", "image/raw"},
                                         format_case{"beyond_table", 9, nullptr, ""},
                                         format_case{"negative", -1, nullptr, ""}),
                         test_support::row_name());

TEST(image_format_extensions, keep_their_order) {
  EXPECT_EQ(core::graphics::image_format_extensions(3),
            (std::vector<std::string>{".jpg", ".jpeg", ".jpe", ".jif", ".jfif", ".jfi"}));
  EXPECT_EQ(core::graphics::image_format_extensions(8).size(), 33U);
}

}  // namespace
