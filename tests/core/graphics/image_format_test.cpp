#include "core/graphics/image_format.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/expect_error.hpp"

namespace {

using core::graphics::image_format;
using core::graphics::image_format_from_extension;

TEST(image_format, from_extension_lower_cases_then_compares_exactly) {
  const std::pair<const char*, image_format> rows[] = {
      {".JPG", 3}, {".Jpeg", 3}, {".dib", 1},  {".wdp", 6}, {".CR2", 8},
      {".PSD", 7}, {"jpg", 0},   {".jpg ", 0}, {"", 0},     {".", 0}};
  for (const auto& [extension, format] : rows) {
    EXPECT_EQ(image_format_from_extension(extension), format) << extension;
  }
}

TEST(image_format, listed_extensions_lead_back_and_unknown_ids_are_refused) {
  for (image_format format = 1; format <= 8; ++format) {
    const auto extensions = core::graphics::image_format_extensions(format);
    EXPECT_EQ(core::graphics::image_format_default_extension(format), extensions.at(0));
    for (const std::string& extension : extensions) {
      EXPECT_EQ(image_format_from_extension(extension), format) << extension;
    }
  }
  EXPECT_EQ(core::graphics::image_format_default_extension(3), ".jpg");
  for (const image_format format : {0, 9, -1}) {
    EXPECT_EQ(core::graphics::image_format_mime_type(format), "");
    test_support::expect_error<std::invalid_argument>(
        [&] { core::graphics::image_format_default_extension(format); },
        "image format is not supported.");
    test_support::expect_error<std::invalid_argument>(
        [&] { core::graphics::image_format_extensions(format); }, "image format is not supported.");
  }
}

}  // namespace
