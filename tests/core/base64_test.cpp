#include "core/base64.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "core/io/stream_failure.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

struct decode_case {
  std::string name;
  std::string text;
  std::optional<std::string> bytes;  // nullopt: refused
};

class base64_text : public testing::TestWithParam<decode_case> {};

TEST_P(base64_text, decodes_and_encodes_back_or_is_refused) {
  const auto& c = GetParam();
  if (!c.bytes) {
    test_support::expect_error<core::io::stream_failure>([&] { core::base64_decode(c.text); },
                                                         "bad Base64 sequence");
    return;
  }
  EXPECT_EQ(core::base64_decode(c.text), *c.bytes);
  EXPECT_EQ(core::base64_encode(*c.bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    texts, base64_text,
    testing::Values(decode_case{"empty", "", ""}, decode_case{"two_pads", "Zg==", "f"},
                    decode_case{"one_pad", "Zm8=", "fo"},
                    decode_case{"no_pad", "Zm9vYmFy", "foobar"},
                    decode_case{"high_bits", "+/+/", "\xFB\xFF\xBF"},
                    decode_case{"incomplete_last_group", "Zm9vYg", std::nullopt},
                    decode_case{"padding_first", "=g==", std::nullopt},
                    decode_case{"padding_third_without_fourth", "Zg=A", std::nullopt},
                    decode_case{"line_break", "Zm9v\nZm9v", std::nullopt},
                    decode_case{"url_alphabet", "Zm-_", std::nullopt},
                    decode_case{"non_ascii", "Zm9\xC3\xA9vZ", std::nullopt}),
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
  EXPECT_EQ(core::base64_decode("Zg==Zm8="), "ffo") << "a padded group may stand anywhere";
}

}  // namespace
