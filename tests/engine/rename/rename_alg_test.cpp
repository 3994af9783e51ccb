#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/rename/file_name_parts.hpp"
#include "engine/rename/rename_alg_add.hpp"
#include "engine/rename/rename_alg_counter.hpp"
#include "engine/rename/rename_alg_replace.hpp"
#include "engine/rename/rename_alg_value.hpp"
#include "tests/support/table.hpp"

namespace {

using parvel::rename_alg;
using strings = std::vector<std::string>;

std::shared_ptr<rename_alg> chain(std::shared_ptr<rename_alg> prefix,
                                  std::shared_ptr<rename_alg> name,
                                  std::shared_ptr<rename_alg> suffix) {
  return std::make_shared<parvel::rename_alg_add>(
      std::make_shared<parvel::rename_alg_add>(std::move(prefix), std::move(name)),
      std::move(suffix));
}

std::shared_ptr<rename_alg> value(const char* text) {
  return std::make_shared<parvel::rename_alg_value>(text);
}
std::shared_ptr<rename_alg> counter(std::uint32_t start, std::uint32_t digits) {
  return std::make_shared<parvel::rename_alg_counter>(start, digits);
}
std::shared_ptr<rename_alg> keep() {
  return std::make_shared<parvel::rename_alg_replace>();
}

struct rename_case {
  const char* name;
  std::shared_ptr<rename_alg> alg;
  strings file_names;
  strings targets;
};

class rename_list : public testing::TestWithParam<rename_case> {};

// What a send does; twice, since a retry must number from the start again.
TEST_P(rename_list, numbers_in_list_order_from_the_start_after_reset) {
  const auto& c = GetParam();
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(parvel::target_names(*c.alg, c.file_names), c.targets) << "round " << round;
  }
}

std::string repeat(const std::string& text, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i) {
    result += text;
  }
  return result;
}

// Stems of 251 bytes: with ".jpg", names as long as a file name can be.
const std::string x251 = std::string(251, 'x');
const std::string a_kanji_b = "a" + repeat("\xe6\x97\xa5", 83) + "b";
const std::string a_emoji_b = "a" + repeat("\xf0\x9f\x98\x80", 62) + "b";

INSTANTIATE_TEST_SUITE_P(
    schemes, rename_list,
    testing::Values(rename_case{"counter_grows_past_its_digits",
                                counter(998, 3),
                                {"a.jpg", "b", "c.jpg"},
                                {"998.jpg", "999", "1000.jpg"}},
                    rename_case{"counter_wraps_at_32_bits",
                                counter(4294967295u, 1),
                                {"a.png", "b.png"},
                                {"4294967295.png", "0.png"}},
                    rename_case{"prefix_counter_and_empty_suffix",
                                chain(value("IMG_"), counter(1, 4), value("")),
                                {"a.JPG", "b.JPG"},
                                {"IMG_0001.JPG", "IMG_0002.JPG"}},
                    rename_case{"suffix_after_the_stem",
                                chain(value(""), keep(), value("_x")),
                                {"IMG_01.JPG", "a.b.tif", ".jpg", "noext", "trailing."},
                                {"IMG_01_x.JPG", "a.b_x.tif", "_x.jpg", "noext_x", "trailing_x."}},
                    rename_case{"empty_stem_takes_the_value",
                                chain(value("p"), counter(0, 2), nullptr),
                                {".jpg"},
                                {"p00.jpg"}},
                    rename_case{"empty_parts_are_skipped",
                                std::make_shared<parvel::rename_alg_add>(nullptr, nullptr),
                                {"a.jpg"},
                                {".jpg"}},
                    rename_case{
                        "long_stems_give_way_between_the_texts_and_the_counter",
                        chain(value("Urlaub2026_"), keep(), counter(1, 3)),
                        {x251 + ".jpg", "short.jpg", std::string(255, 'y')},
                        {"Urlaub2026_" + std::string(237, 'x') + "001.jpg",
                         "Urlaub2026_short002.jpg", "Urlaub2026_" + std::string(241, 'y') + "003"}},
                    rename_case{"multi_byte_stems_are_cut_between_characters",
                                chain(value("Urlaub2026_"), keep(), value("")),
                                {a_kanji_b + ".jpg", a_emoji_b + ".JPG"},
                                {"Urlaub2026_a" + repeat("\xe6\x97\xa5", 79) + ".jpg",
                                 "Urlaub2026_a" + repeat("\xf0\x9f\x98\x80", 59) + ".JPG"}},
                    rename_case{"a_name_that_fits_exactly_stays_whole",
                                chain(value("P_"), keep(), nullptr),
                                {std::string(249, 'z') + ".jpg"},
                                {"P_" + std::string(249, 'z') + ".jpg"}},
                    rename_case{"texts_alone_too_long_give_way_at_their_end",
                                chain(value(std::string(300, 'p').c_str()), counter(1, 2), nullptr),
                                {"a.jpeg"},
                                {std::string(250, 'p') + ".jpeg"}}),
    test_support::row_name());

// What the status bar and the preview call: the strategy's own apply, which
// moves a counter on; no strategy keeps the stem.
TEST(rename_alg, invoke_applies_the_strategy_or_keeps_the_stem) {
  const auto numbered = chain(value("IMG_"), counter(7, 3), nullptr);
  EXPECT_EQ(rename_alg::invoke(numbered, "*"), "IMG_007");
  EXPECT_EQ(rename_alg::invoke(numbered, "*"), "IMG_008");
  EXPECT_EQ(rename_alg::invoke(nullptr, "IMG_01"), "IMG_01");
  EXPECT_EQ(rename_alg::invoke(nullptr, ""), "");
}

}  // namespace
