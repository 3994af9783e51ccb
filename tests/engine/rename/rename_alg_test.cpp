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

// What a send does: reset once, then every photo in list order; twice, since
// a retry must number from the start again.
TEST_P(rename_list, numbers_in_list_order_from_the_start_after_reset) {
  const auto& c = GetParam();
  for (int round = 0; round < 2; ++round) {
    c.alg->reset();
    strings targets;
    for (const auto& file : c.file_names) {
      targets.push_back(parvel::target_name(*c.alg, file));
    }
    EXPECT_EQ(targets, c.targets) << "round " << round;
  }
}

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
                                {".jpg"}}),
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
