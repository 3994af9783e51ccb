#include "core/version.hpp"

#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <stdexcept>

#include "core/module.hpp"
#include "core/version_info.hpp"
#include "tests/support/table.hpp"

namespace {

using fields = std::array<std::int32_t, 4>;

struct parse_case {
  std::string name;
  std::string text;
  fields expected;
};

class version_parse : public testing::TestWithParam<parse_case> {};

TEST_P(version_parse, fills_fields) {
  core::version v;
  v.fields = {9, 9, 9, 9};
  core::parse_version_string(GetParam().text, v);
  EXPECT_EQ(v.fields, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    texts, version_parse,
    testing::Values(parse_case{"dots", "1.2.3.4", {1, 2, 3, 4}},
                    parse_case{"commas", "1,2,3,4", {1, 2, 3, 4}},
                    parse_case{"two_parts_keep_the_rest", "1.2", {1, 2, 9, 9}},
                    parse_case{"fifth_part_ignored", "1.2.3.4.5", {1, 2, 3, 4}},
                    parse_case{"blanks_trimmed", " 1 . 2\t,3 .4 ", {1, 2, 3, 4}},
                    parse_case{"negative", "-1.0.0.0", {-1, 0, 0, 0}},
                    parse_case{
                        "extremes", "2147483647.-2147483648", {2147483647, -2147483647 - 1, 9, 9}}),
    test_support::row_name());

struct bad_case {
  std::string name;
  std::string text;
};

class version_parse_failure : public testing::TestWithParam<bad_case> {};

TEST_P(version_parse_failure, throws_lexical_error) {
  core::version v;
  EXPECT_THROW(core::parse_version_string(GetParam().text, v), boost::bad_lexical_cast);
}

INSTANTIATE_TEST_SUITE_P(texts, version_parse_failure,
                         testing::Values(bad_case{"two_dots_in_a_row", "1..2"},
                                         bad_case{"letter", "1.2a"},
                                         bad_case{"trailing_dot", "1.2."},
                                         bad_case{"inner_blank", "1 2.3"},
                                         bad_case{"too_large", "2147483648"}),
                         test_support::row_name());

TEST(version, empty_text_throws) {
  core::version v;
  try {
    core::parse_version_string("", v);
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "The version string is empty.");
  }
}

struct compare_case {
  std::string name;
  fields a;
  fields b;
  bool greater;
};

class version_compare : public testing::TestWithParam<compare_case> {};

TEST_P(version_compare, field_by_field_as_signed_numbers) {
  const core::version a{GetParam().a};
  const core::version b{GetParam().b};
  EXPECT_EQ(a > b, GetParam().greater);
}

INSTANTIATE_TEST_SUITE_P(
    pairs, version_compare,
    testing::Values(compare_case{"minor_ten_beats_nine", {1, 10, 0, 0}, {1, 9, 9, 9}, true},
                    compare_case{"major_wins", {2, 0, 0, 0}, {1, 99, 99, 99}, true},
                    compare_case{"equal_is_not_greater", {1, 2, 3, 4}, {1, 2, 3, 4}, false},
                    compare_case{"fourth_field_decides", {1, 2, 3, 5}, {1, 2, 3, 4}, true},
                    compare_case{"smaller_is_not_greater", {1, 2, 3, 4}, {1, 2, 4, 0}, false},
                    compare_case{"negative_is_below_zero", {0, 0, 0, 0}, {-1, 0, 0, 0}, true},
                    compare_case{"negative_is_not_above_zero", {-1, 0, 0, 0}, {0, 0, 0, 0}, false}),
    test_support::row_name());

TEST(version, prints_fields_joined_by_dots) {
  EXPECT_EQ(core::version_to_string(core::version{{1, 2, 3, 4}}), "1.2.3.4");
  EXPECT_EQ(core::version_to_string(core::version{{-1, 0, 10, 2147483647}}), "-1.0.10.2147483647");
}

TEST(version_info, own_executable_has_the_five_strings) {
  const core::version_info info(core::get_current_module());
  EXPECT_EQ(info.path(), core::get_module_file_name(core::get_current_module()));
  EXPECT_EQ(core::version_to_string(info.product_version()), info.get("ProductVersion"));
  EXPECT_EQ(info.get("FileVersion"), info.get("ProductVersion"));
  EXPECT_FALSE(info.get("CompanyName").empty());
  EXPECT_EQ(info.get("SpecialBuild"), "");
  EXPECT_EQ(info.get("Comments"), "");
}

TEST(version_info, file_without_version_strings_throws) {
  for (const std::string path : {"/bin/sh", "/no/such/file", ""}) {
    try {
      core::version_info info(path);
      FAIL() << "no exception for " << path;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "Version info not found: " + path);
    }
  }
}

}  // namespace
