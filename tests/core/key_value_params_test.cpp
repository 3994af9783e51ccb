#include "core/key_value_params.hpp"

#include <gtest/gtest.h>
#include <boost/lexical_cast.hpp>

#include "core/net/http/header_line.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

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
    testing::Values(number_case{"leading_zero", "042", true, true, 42},
                    number_case{"largest_unsigned", "4294967295", false, true, 4294967295},
                    number_case{"beyond_unsigned", "4294967296", false, false, 0},
                    number_case{"minus_one_never_wraps", "-1", true, false, -1},
                    number_case{"leading_blank", " 1", false, false, 0},
                    number_case{"empty", "", false, false, 0}),
    test_support::row_name());

TEST(key_value_params, missing_keys_and_case) {
  core::key_value_params params;
  params["Quality"] = "90";
  EXPECT_FALSE(params.has("quality"));
  test_support::expect_error<std::invalid_argument>([&] { params.get<int>("quality"); },
                                                    "No key found in the collection.");
  EXPECT_FALSE(params.has("quality"));
  params["quality"];
  EXPECT_EQ(params.get<std::string>("quality"), "");
}

TEST(string_map, lookups_in_key_order) {
  const core::string_map map{{"b", "2"}, {"a", "1"}};
  EXPECT_EQ(core::pair_at(map, 0), std::make_pair(std::string("a"), std::string("1")));
  test_support::expect_error<std::out_of_range>(
      [&] { core::pair_at(map, 2); }, "Cannot get a key-value pair. Index is out of range.");
  test_support::expect_error<std::invalid_argument>([&] { core::find_value(map, "c"); },
                                                    "Key not found.");
}

TEST(header_line, formats_and_refuses_injection) {
  EXPECT_EQ(core::net::http::header_line({{"Content-Type", "image/jpeg"}}, 0),
            "Content-Type: image/jpeg\r\n");
  for (const char* bad : {"a\r\nX-Evil: 1", "a\nb", "a\rb"}) {
    SCOPED_TRACE(bad);
    for (const core::string_map& headers : {core::string_map{{"X", bad}}, {{bad, "v"}}}) {
      test_support::expect_error<std::invalid_argument>(
          [&] { core::net::http::header_line(headers, 0); },
          "Invalid HTTP header. A name or value holds CR or LF.");
    }
  }
}

}  // namespace
