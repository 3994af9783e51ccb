#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <sstream>
#include <stdexcept>

#include "core/module.hpp"
#include "core/resource_location_inprocess.hpp"
#include "tests/support/table.hpp"

namespace {

TEST(resource_location_inprocess, reads_the_built_in_table) {
  const core::resource_location_inprocess location("localization", "RT_BIN");
  EXPECT_EQ(location.kind(), "inprocess");
  EXPECT_EQ(location.name(), "localization");
  const std::string expected = core::load_resource(core::get_current_module(), 132, "RT_BIN");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(location.read("132"), expected);
  EXPECT_TRUE(location.exists("132"));
  std::stringstream content;
  content << location.open("132")->rdbuf();
  EXPECT_EQ(content.str(), expected);
}

struct bad_name_case {
  std::string name;
  std::string resource;
};

class resource_location_inprocess_bad_names : public testing::TestWithParam<bad_name_case> {};

TEST_P(resource_location_inprocess_bad_names, fail_the_lexical_conversion) {
  const core::resource_location_inprocess location("localization", "RT_BIN");
  EXPECT_FALSE(location.exists(GetParam().resource));
  try {
    location.read(GetParam().resource);
    FAIL() << "no exception";
  } catch (const boost::bad_lexical_cast& e) {
    EXPECT_STREQ(e.what(),
                 "bad lexical cast: source type value could not be interpreted as target");
  }
}

INSTANTIATE_TEST_SUITE_P(names, resource_location_inprocess_bad_names,
                         testing::Values(bad_name_case{"letters", "abc"},
                                         bad_name_case{"empty", ""},
                                         bad_name_case{"negative", "-1"},
                                         bad_name_case{"blank", " 132"},
                                         bad_name_case{"above_16_bits", "65668"}),
                         test_support::row_name());

TEST(resource_location_inprocess, missing_resource_fails_to_read) {
  for (const auto& [type, name] : {std::pair{"RT_BIN", "133"}, std::pair{"PNG", "132"}}) {
    const core::resource_location_inprocess location("localization", type);
    EXPECT_FALSE(location.exists(name));
    try {
      location.read(name);
      FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Cannot read the inprocess resource.");
    }
  }
}

}  // namespace
