#include "core/utf.hpp"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(utf, valid_text_converts_both_ways) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {{"", u""},
               {"a\0b"s, u"a\0b"s},
               {"caf\xC3\xA9", u"caf\u00E9"},
               {"\xF0\x9F\x93\xB7", u"\U0001F4F7"},  // a surrogate pair
               {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(core::utf8_to_wide(c.utf8), c.utf16);
    EXPECT_EQ(core::to_utf8(c.utf16), c.utf8);
    EXPECT_EQ(core::to_valid_utf8(c.utf8), c.utf8);
  }
}

TEST(utf, invalid_bytes_give_empty_wide_text_and_replacement_characters) {
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  const struct {
    const char* name;
    std::string bytes;
    std::string repaired;
  } cases[] = {{"overlong_nul", "a\xC0\x80", "a" + r + r},
               {"encoded_surrogate", "\xED\xA0\x80", r + r + r},
               {"above_10ffff", "\xF4\x90\x80\x80", r + r + r + r},
               {"truncated_at_end", "x\xE2\x82", "x" + r + r},
               {"latin1_name", "Caf\xE9.jpg", "Caf" + r + ".jpg"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(core::utf8_to_wide(c.bytes), u"");
    EXPECT_EQ(core::to_valid_utf8(c.bytes), c.repaired);
  }
  EXPECT_EQ(core::to_utf8(u"a\xD800"), "a" + r);  // unpaired surrogates
  EXPECT_EQ(core::to_utf8(u"\xDC00z"), r + "z");
}

}  // namespace
