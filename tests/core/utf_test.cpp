#include "core/utf.hpp"

#include <gtest/gtest.h>

#include "tests/support/table.hpp"

namespace {

using namespace std::string_literals;

struct valid_case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

class utf_valid : public testing::TestWithParam<valid_case> {};

TEST_P(utf_valid, converts_both_ways) {
  const auto& c = GetParam();
  EXPECT_EQ(core::utf8_to_wide(c.utf8), c.utf16);
  EXPECT_EQ(core::to_utf8(c.utf16), c.utf8);
  EXPECT_EQ(core::to_valid_utf8(c.utf8), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    texts, utf_valid,
    testing::Values(valid_case{"empty", "", u""}, valid_case{"embedded_nul", "a\0b"s, u"a\0b"s},
                    valid_case{"two_bytes", "caf\xC3\xA9", u"caf\u00E9"},
                    valid_case{"astral_becomes_surrogate_pair", "\xF0\x9F\x93\xB7", u"\U0001F4F7"},
                    valid_case{"highest_code_point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"}),
    test_support::row_name());

struct invalid_case {
  const char* name;
  std::string bytes;
  std::string repaired;
};

class utf_invalid : public testing::TestWithParam<invalid_case> {};

TEST_P(utf_invalid, gives_empty_wide_text_and_replacement_characters) {
  const auto& c = GetParam();
  EXPECT_EQ(core::utf8_to_wide(c.bytes), u"");
  EXPECT_EQ(core::to_valid_utf8(c.bytes), c.repaired);
}

INSTANTIATE_TEST_SUITE_P(
    bytes, utf_invalid,
    testing::Values(invalid_case{"overlong_nul", "a\xC0\x80", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
                    invalid_case{"encoded_surrogate", "\xED\xA0\x80",
                                 "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                    invalid_case{"above_10ffff", "\xF4\x90\x80\x80",
                                 "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                    invalid_case{"truncated_at_end", "x\xE2\x82", "x\xEF\xBF\xBD\xEF\xBF\xBD"},
                    invalid_case{"latin1_name", "Caf\xE9.jpg", "Caf\xEF\xBF\xBD.jpg"}),
    test_support::row_name());

TEST(utf_wide, unpaired_surrogates_become_replacement_characters) {
  EXPECT_EQ(core::to_utf8(u"a\xD800"), "a\xEF\xBF\xBD");
  EXPECT_EQ(core::to_utf8(u"\xDC00z"), "\xEF\xBF\xBDz");
}

}  // namespace
