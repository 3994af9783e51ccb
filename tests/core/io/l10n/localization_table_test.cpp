#include "core/io/l10n/localization_table.hpp"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/io/l10n/parameter_provider.hpp"
#include "tests/support/table.hpp"

namespace {

// Knows a few names and records every name it is asked for.
class test_provider : public core::io::l10n::parameter_provider {
 public:
  bool get_parameter(const std::string& name, std::string& value) override {
    asked.push_back(name);
    static const std::map<std::string, std::string> answers{{"ProductName", "Lumbrel Send Photo"},
                                                            {"Nested", "[ProductName]!"},
                                                            {"Self", "x[Self]"},
                                                            {"Empty", ""}};
    const auto found = answers.find(name);
    if (found == answers.end()) {
      return false;
    }
    value = found->second;
    return true;
  }
  std::vector<std::string> asked;
};

struct placeholder_case {
  std::string name;
  std::string stored;
  std::string expected;
  std::vector<std::string> asked;
};

class localization_placeholders : public testing::TestWithParam<placeholder_case> {};

TEST_P(localization_placeholders, are_answered_by_the_provider) {
  test_provider provider;
  core::io::l10n::localization_table table(&provider);
  table.set_string("id", GetParam().stored);
  EXPECT_EQ(table.text("id"), GetParam().expected);
  EXPECT_EQ(provider.asked, GetParam().asked);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    texts, localization_placeholders,
    testing::Values(
        placeholder_case{"known_name", "The latest version of [ProductName] is already installed.",
                         "The latest version of Lumbrel Send Photo is already installed.", {"ProductName"}},
        placeholder_case{"unknown_names_stay", "[1] files selected ([2])", "[1] files selected ([2])", {"1", "2"}},
        placeholder_case{"lone_brackets", "a ] b [ c", "a ] b [ c", {}},
        placeholder_case{"extra_opening_bracket_is_part_of_the_name", "[[ProductName]", "[[ProductName]",
                         {"[ProductName"}},
        placeholder_case{"answer_is_scanned_again", "[Nested] and [ProductName]",
                         "Lumbrel Send Photo! and Lumbrel Send Photo", {"Nested", "ProductName", "ProductName"}},
        placeholder_case{"answer_holding_its_own_placeholder_stops", "[Self]", std::string(64, 'x') + "[Self]",
                         std::vector<std::string>(64, "Self")},
        placeholder_case{"empty_answer_leaves_an_empty_text_showing_the_id", "[Empty]", "id", {"Empty"}}),
    test_support::row_name());
// clang-format on

TEST(localization_table, missing_or_empty_id_shows_itself) {
  core::io::l10n::localization_table table;
  table.set_string("a", "[ProductName]");
  table.set_string("empty", "");
  EXPECT_EQ(table.text("abc"), "abc");
  EXPECT_EQ(table.find("abc"), "");
  EXPECT_EQ(table.text("empty"), "empty");
  EXPECT_EQ(table.text("a"), "[ProductName]") << "no provider, no substitution";
}

}  // namespace
