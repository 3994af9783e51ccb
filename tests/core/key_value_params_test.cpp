#include "core/key_value_params.hpp"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include "tests/support/table.hpp"

#include "core/net/http/header_line.hpp"

namespace {

struct number_case {
  const char* name;
  const char* text;
  bool is_int;
  bool is_unsigned;
  long long value;
};

class key_value_number : public testing::TestWithParam<number_case> {};

TEST_P(key_value_number, reads_whole_numbers_only) {
  const auto& c = GetParam();
  core::key_value_params params;
  params["k"] = c.text;
  if (c.is_int) {
    EXPECT_EQ(params.get<int>("k"), c.value);
  } else {
    EXPECT_THROW(params.get<int>("k"), boost::bad_lexical_cast);
  }
  if (c.is_unsigned) {
    EXPECT_EQ(params.get<unsigned int>("k"), static_cast<unsigned int>(c.value));
  } else {
    EXPECT_THROW(params.get<unsigned int>("k"), boost::bad_lexical_cast);
  }
  EXPECT_EQ(params.get<std::string>("k"), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    texts, key_value_number,
    testing::Values(number_case{"plain", "42", true, true, 42},
                    number_case{"leading_zero", "042", true, true, 42},
                    number_case{"largest_unsigned", "4294967295", false, true, 4294967295},
                    number_case{"beyond_unsigned", "4294967296", false, false, 0},
                    number_case{"minus_one_never_wraps", "-1", true, false, -1},
                    number_case{"plus_sign", "+7", true, false, 7},
                    number_case{"leading_blank", " 1", false, false, 0},
                    number_case{"blank_inside", "1 2", false, false, 0},
                    number_case{"empty", "", false, false, 0},
                    number_case{"not_a_number", "abc", false, false, 0}),
    test_support::row_name());

TEST(key_value_params, missing_keys_and_case) {
  core::key_value_params params;
  params["Quality"] = "90";
  EXPECT_TRUE(params.has("Quality"));
  EXPECT_FALSE(params.has("quality"));
  try {
    params.get<int>("quality");
    FAIL();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "No key found in the collection.");
  }
  EXPECT_FALSE(params.has("quality"));
  params["quality"];
  EXPECT_TRUE(params.has("quality"));
  EXPECT_EQ(params.get<std::string>("quality"), "");
}

TEST(string_map, lookups_in_key_order) {
  core::string_map map;
  map["b"] = "2";
  map["a"] = "1";
  EXPECT_EQ(core::pair_at(map, 0), std::make_pair(std::string("a"), std::string("1")));
  EXPECT_TRUE(core::contains_key(map, "b"));
  EXPECT_EQ(core::find_value(map, "b"), "2");
  try {
    core::pair_at(map, 2);
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Cannot get a key-value pair. Index is out of range.");
  }
  try {
    core::find_value(map, "c");
    FAIL();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Key not found.");
  }
}

TEST(header_line, formats_and_refuses_injection) {
  core::string_map headers{{"Content-Type", "image/jpeg"}};
  EXPECT_EQ(core::net::http::header_line(headers, 0), "Content-Type: image/jpeg\r\n");
  for (const char* value : {"a\r\nX-Evil: 1", "a\nb", "a\rb"}) {
    SCOPED_TRACE(value);
    core::string_map bad{{"X", value}};
    EXPECT_THROW(core::net::http::header_line(bad, 0), std::invalid_argument);
    core::string_map bad_name{{value, "v"}};
    EXPECT_THROW(core::net::http::header_line(bad_name, 0), std::invalid_argument);
  }
}

}  // namespace
