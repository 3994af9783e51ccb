#include "core/base64.hpp"

#include <gtest/gtest.h>

#include "core/io/stream_failure.hpp"
#include "tests/support/expect_error.hpp"

namespace {

TEST(base64, encodes_and_decodes_back) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foobar", "Zm9vYmFy"}, {"\xFB\xFF\xBF", "+/+/"}};
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(core::base64_encode(bytes), text);
    EXPECT_EQ(core::base64_decode(text), bytes);
  }
  std::string every_byte;
  for (int i = 0; i < 256; ++i) {
    every_byte += static_cast<char>(i);
  }
  const std::string text = core::base64_encode(every_byte);
  EXPECT_EQ(text.size(), 344u);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(core::base64_decode(text), every_byte);
  EXPECT_EQ(core::base64_decode("Zg==Zm8="), "ffo") << "a padded group may stand anywhere";
}

TEST(base64, refuses_what_is_not_base64) {
  for (const std::string text : {"Zm9vYg", "=g==", "Zg=A", "Zm9v\nZm9v", "Zm-_", "Zm9\xC3\xA9vZ"}) {
    SCOPED_TRACE(text);
    test_support::expect_error<core::io::stream_failure>([&] { core::base64_decode(text); },
                                                         "bad Base64 sequence");
  }
}

}  // namespace
