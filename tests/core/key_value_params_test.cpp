#include "core/key_value_params.hpp"

#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <optional>

#include "core/net/http/header_line.hpp"
#include "tests/support/expect_error.hpp"

namespace {

TEST(key_value_params, reads_whole_numbers_only) {
  const struct {
    const char* text;
    std::optional<int> as_int;
    std::optional<unsigned int> as_unsigned;
  } cases[] = {{"042", 42, 42u},
               {"4294967295", std::nullopt, 4294967295u},
               {"4294967296", std::nullopt, std::nullopt},
               {"-1", -1, std::nullopt},  // never wraps
               {" 1", std::nullopt, std::nullopt},
               {"", std::nullopt, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    core::key_value_params params;
    params["k"] = c.text;
    if (c.as_int) {
      EXPECT_EQ(params.get<int>("k"), *c.as_int);
    } else {
      EXPECT_THROW(params.get<int>("k"), boost::bad_lexical_cast);
    }
    if (c.as_unsigned) {
      EXPECT_EQ(params.get<unsigned int>("k"), *c.as_unsigned);
    } else {
      EXPECT_THROW(params.get<unsigned int>("k"), boost::bad_lexical_cast);
    }
    EXPECT_EQ(params.get<std::string>("k"), c.text);
  }
}

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
