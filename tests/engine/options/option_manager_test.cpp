#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "core/utf.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/image_format_name.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "tests/support/expect_error.hpp"

namespace {

// "<format>:<quality>" a convert option, "<kind>:<size text>" a resize option.
std::string text(const parvel::photo_convert_option& option) {
  return std::to_string(option.format) + ":" + std::to_string(option.params.get_quality());
}
std::string text(const parvel::photo_resize_option& option) {
  return std::to_string(option.kind) + ":" + core::to_utf8(option.size_text());
}

template <class Manager>
std::string listed(const Manager& manager) {
  std::string out;
  for (int i = 0; i < static_cast<int>(manager.options().size()); ++i) {
    EXPECT_EQ(&manager.option(i), &manager.options()[static_cast<std::size_t>(i)]);
    out += text(manager.option(i)) + " ";
  }
  return out;
}

TEST(option_managers, offer_their_fixed_lists_by_index) {
  const auto convert = parvel::convert_option_manager::instance();
  const auto resize = parvel::resize_option_manager::instance();
  EXPECT_EQ(listed(*convert), "0:95 1:95 2:95 3:95 4:95 5:95 ");
  EXPECT_EQ(listed(*resize),
            "0:0 x 0 1:0 x 0 2:2560 x 1440 2:1920 x 1080 2:1280 x 720 3:2560 x 1600 "
            "3:1920 x 1200 3:1680 x 1050 4:1600 x 1200 4:1280 x 960 4:1024 x 768 4:800 x 600 ");
  EXPECT_EQ(text(convert->current()), "0:95");
  EXPECT_EQ(text(resize->current()), "0:0 x 0");
}

TEST(option_managers, index_outside_the_list_is_refused) {
  const auto convert = parvel::convert_option_manager::instance();
  const auto resize = parvel::resize_option_manager::instance();
  for (const int index : {-1, 6, 12, 1 << 30}) {
    SCOPED_TRACE(index);
    test_support::expect_error<std::invalid_argument>([&] { convert->option(index); },
                                                      "Option index is out of range.");
    if (index != 6) {
      test_support::expect_error<std::invalid_argument>([&] { resize->option(index); },
                                                        "Option index is out of range.");
    }
  }
  EXPECT_EQ(text(resize->option(6)), "3:1920 x 1200");
}

TEST(image_format_name, names_the_eight_formats_only) {
  std::string names;
  for (int format = -1; format <= 9; ++format) {
    names += "[" + parvel::image_format_name(format) + "]";
  }
  EXPECT_EQ(names, "[][][BMP][GIF][JPEG][PNG][TIFF][HD Photo][PSD][RAW][]");
  EXPECT_EQ(parvel::photo_convert_option(6).text(), u"") << "not offered as a target";
  EXPECT_EQ(parvel::photo_convert_option(3).text(), u"JPEG");
}

}  // namespace
