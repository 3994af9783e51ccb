#include "core/version.hpp"

#include <gtest/gtest.h>

#include <array>
#include <boost/lexical_cast.hpp>
#include <optional>
#include <stdexcept>

#include "core/module.hpp"
#include "core/version_info.hpp"
#include "tests/support/expect_error.hpp"

namespace {

using fields = std::array<std::int32_t, 4>;

TEST(version, parse_fills_fields_or_throws) {
  const struct {
    std::string text;
    std::optional<fields> expected;  // nullopt: not a number
  } cases[] = {{"1,2,3,4", fields{1, 2, 3, 4}},
               {"1.2", fields{1, 2, 9, 9}},  // the rest is kept
               {"1.2.3.4.5", fields{1, 2, 3, 4}},
               {" 1 . 2\t,3 .4 ", fields{1, 2, 3, 4}},
               {"2147483647.-2147483648", fields{2147483647, -2147483647 - 1, 9, 9}},
               {"1..2", std::nullopt},
               {"1.2a", std::nullopt},
               {"1 2.3", std::nullopt},
               {"2147483648", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    core::version v;
    v.fields = {9, 9, 9, 9};
    if (c.expected) {
      core::parse_version_string(c.text, v);
      EXPECT_EQ(v.fields, *c.expected);
    } else {
      EXPECT_THROW(core::parse_version_string(c.text, v), boost::bad_lexical_cast);
    }
  }
}

TEST(version, empty_text_throws) {
  core::version v;
  test_support::expect_error<std::invalid_argument>([&] { core::parse_version_string("", v); },
                                                    "The version string is empty.");
}

TEST(version, compares_field_by_field_as_signed_numbers_and_prints) {
  const auto greater = [](fields a, fields b) { return core::version{a} > core::version{b}; };
  EXPECT_TRUE(greater({1, 10, 0, 0}, {1, 9, 9, 9}));
  EXPECT_TRUE(greater({1, 2, 3, 5}, {1, 2, 3, 4}));
  EXPECT_FALSE(greater({1, 2, 3, 4}, {1, 2, 3, 4}));
  EXPECT_FALSE(greater({1, 2, 3, 4}, {1, 2, 4, 0}));
  EXPECT_TRUE(greater({0, 0, 0, 0}, {-1, 0, 0, 0}));
  EXPECT_EQ(core::version_to_string(core::version{{-1, 0, 10, 2147483647}}), "-1.0.10.2147483647");
}

TEST(version_info, own_executable_has_the_five_strings) {
  const core::version_info info(core::get_current_module());
  EXPECT_EQ(info.path(), core::get_module_file_name(core::get_current_module()));
  EXPECT_EQ(core::version_to_string(info.product_version()), info.get("ProductVersion"));
  EXPECT_EQ(info.get("FileVersion"), info.get("ProductVersion"));
  EXPECT_FALSE(info.get("CompanyName").empty());
  EXPECT_EQ(info.get("SpecialBuild"), "");
}

TEST(version_info, file_without_version_strings_throws) {
  for (const std::string path : {"/bin/sh", "/no/such/file"}) {
    test_support::expect_error<std::runtime_error>([&] { core::version_info info(path); },
                                                   "Version info not found: " + path);
  }
}

}  // namespace
