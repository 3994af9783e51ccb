#include "core/base64.hpp"

#include <gtest/gtest.h>

#include <ios>

#include "tests/support/table.hpp"

namespace {

struct vector_case {
  std::string name;
  std::string bytes;
  std::string text;
};

class base64_vectors : public testing::TestWithParam<vector_case> {};

TEST_P(base64_vectors, encode_and_decode_back) {
  EXPECT_EQ(core::base64_encode(GetParam().bytes), GetParam().text);
  EXPECT_EQ(core::base64_decode(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(rfc4648, base64_vectors,
                         testing::Values(vector_case{"empty", "", ""},
                                         vector_case{"f", "f", "Zg=="},
                                         vector_case{"fo", "fo", "Zm8="},
                                         vector_case{"foo", "foo", "Zm9v"},
                                         vector_case{"foob", "foob", "Zm9vYg=="},
                                         vector_case{"fooba", "fooba", "Zm9vYmE="},
                                         vector_case{"foobar", "foobar", "Zm9vYmFy"},
                                         vector_case{"high_bits", "\xFB\xFF\xBF", "+/+/"}),
                         test_support::row_name());

TEST(base64, every_byte_value_round_trips_without_line_breaks) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) {
    bytes += static_cast<char>(i);
  }
  const std::string text = core::base64_encode(bytes);
  EXPECT_EQ(text.size(), 344u);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(core::base64_decode(text), bytes);
  EXPECT_EQ(core::base64_encode(std::string(44, '\x7F')).size(), 60u);
}

TEST(base64, padded_group_in_the_middle_is_decoded_and_decoding_goes_on) {
  EXPECT_EQ(core::base64_decode("Zg==Zm8="), "ffo");
}

struct refusal_case {
  std::string name;
  std::string text;
};

class base64_refusals : public testing::TestWithParam<refusal_case> {};

TEST_P(base64_refusals, throw_bad_base64_sequence) {
  try {
    core::base64_decode(GetParam().text);
    FAIL() << "no exception";
  } catch (const std::ios_base::failure& e) {
    EXPECT_STREQ(e.what(), "bad Base64 sequence");
  }
}

INSTANTIATE_TEST_SUITE_P(inputs, base64_refusals,
                         testing::Values(refusal_case{"incomplete_last_group", "Zm9vYg"},
                                         refusal_case{"one_character", "Z"},
                                         refusal_case{"padding_third_without_fourth", "Zg=A"},
                                         refusal_case{"padding_first", "=g=="},
                                         refusal_case{"padding_second", "Z==="},
                                         refusal_case{"blank", "Zm9 v"},
                                         refusal_case{"line_break", "Zm9v\nZm9v"},
                                         refusal_case{"url_alphabet", "Zm-_"},
                                         refusal_case{"non_ascii", "Zm9\xC3\xA9vZ"}),
                         test_support::row_name());

}  // namespace
