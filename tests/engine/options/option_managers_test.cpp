#include <gtest/gtest.h>

#include "engine/options/convert_option_manager.hpp"
#include "engine/options/image_format_name.hpp"
#include "engine/options/resize_option_manager.hpp"

namespace {

TEST(convert_options, offer_keep_and_five_formats_at_quality_95) {
  const auto& options = parvel::convert_option_manager::instance()->options();
  std::vector<int> formats;
  std::vector<std::u16string> texts;
  for (const auto& option : options) {
    formats.push_back(option.format);
    texts.push_back(option.text());
    EXPECT_EQ(option.params.get_quality(), 95);
  }
  EXPECT_EQ(formats, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"Do not change", u"BMP", u"GIF", u"JPEG", u"PNG",
                                                u"TIFF"}));
  EXPECT_EQ(parvel::convert_option_manager::instance()->current().format, 0);
}

TEST(convert_options, names_of_formats_that_are_never_targets) {
  EXPECT_EQ(parvel::image_format_name(0), "");
  EXPECT_EQ(parvel::image_format_name(9), "");
  EXPECT_EQ(parvel::image_format_name(6), "HD Photo");
  EXPECT_EQ(parvel::image_format_name(8), "RAW");
  EXPECT_EQ(parvel::photo_convert_option(6).text(), u"");
}

TEST(resize_options, offer_twelve_sizes_with_their_texts) {
  const auto& options = parvel::resize_option_manager::instance()->options();
  ASSERT_EQ(options.size(), 12u);
  EXPECT_EQ(options[3].size_text(), u"1920 x 1080");
  EXPECT_EQ(options[11].size_text(), u"800 x 600");
  std::vector<std::u16string> kinds;
  for (const auto& option : {options[0], options[1], options[2], options[5], options[8]}) {
    kinds.push_back(option.kind_text());
  }
  EXPECT_EQ(kinds, (std::vector<std::u16string>{u"Do not change", u"Custom size...", u"HD", u"Wide",
                                                u"Monitor"}));
  EXPECT_EQ((parvel::photo_resize_option{7, 1, 1}.kind_text()), u"");
}

TEST(resize_options, current_is_a_copy_of_the_choice) {
  auto& manager = *parvel::resize_option_manager::instance();
  EXPECT_EQ(manager.current().kind, 0);
  manager.set_current({1, 640, 480});
  const auto chosen = manager.current();
  manager.set_current({0, 0, 0});
  EXPECT_EQ(chosen.width, 640u);
  EXPECT_EQ(manager.current().kind, 0);
}

}  // namespace
