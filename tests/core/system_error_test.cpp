#include "core/system_error.hpp"

#include <gtest/gtest.h>

#include "tests/support/table.hpp"

namespace {

struct error_text_case {
  const char* name;
  const char* prefix;
  std::uint32_t code;
  const char* expected;
};

class system_error_text : public testing::TestWithParam<error_text_case> {};

TEST_P(system_error_text, renders_prefix_and_message) {
  const auto& c = GetParam();
  const core::windows_system_error error(c.prefix, c.code);
  EXPECT_STREQ(error.what(), c.expected);
  EXPECT_EQ(error.code(), c.code);
}

INSTANTIATE_TEST_SUITE_P(
    codes, system_error_text,
    testing::Values(
        error_text_case{"empty_prefix_has_no_separator", "", 2, "No such file or directory"},
        error_text_case{"timeout", "send", 12002, "send: The operation timed out"},
        error_text_case{"tls_failure", "", 12175,
                        "A security error occurred while checking the server's certificate"},
        error_text_case{"unknown_code", "p", 5000,
                        "p: The system cannot find message text for message number: '5000'"},
        error_text_case{"negative_hresult_prints_unsigned", "", 0x80004005u,
                        "The system cannot find message text for message number: '2147500037'"}),
    test_support::row_name());

}  // namespace
