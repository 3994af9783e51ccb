#include "engine/rename/file_name_length.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct cut_case {
  const char* text;
  std::size_t size;
  const char* kept;
};

TEST(cut_at_character, never_ends_inside_a_character) {
  const cut_case rows[] = {
      {"abcdef", 3, "abc"},
      {"abc", 3, "abc"},
      {"abc", 10, "abc"},
      {"abc", 0, ""},
      {"a\xc3\xa9", 2, "a"},           // é of 2 bytes, cut after its first
      {"a\xc3\xa9z", 3, "a\xc3\xa9"},  // cut right after it
      {"a\xe6\x97\xa5", 2, "a"},       // 日 of 3 bytes
      {"a\xe6\x97\xa5", 3, "a"},
      {"a\xe6\x97\xa5z", 4, "a\xe6\x97\xa5"},
      {"a\xf0\x9f\x98\x80", 2, "a"},  // an emoji of 4 bytes
      {"a\xf0\x9f\x98\x80", 4, "a"},
      {"a\xf0\x9f\x98\x80z", 5, "a\xf0\x9f\x98\x80"},
      {"ab\xa9\xa9\xa9\xa9\xa9", 4, "ab\xa9\xa9"},  // Latin-1 bytes, no UTF-8
      {"\xe9t\xe9t", 3, "\xe9t"},                   // a Latin-1 é reads as a lead byte
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " at " << row.size);
    EXPECT_EQ(parvel::cut_at_character(row.text, row.size), row.kept);
  }
}

}  // namespace
