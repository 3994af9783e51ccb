#include "core/system_error.hpp"

#include <gtest/gtest.h>

namespace {

TEST(system_error, renders_prefix_and_message) {
  const struct {
    const char* prefix;
    std::uint32_t code;
    const char* expected;
  } cases[] = {
      {"", 2, "No such file or directory"},  // an empty prefix has no separator
      {"send", 12002, "send: The operation timed out"},
      {"", 12175, "A security error occurred while checking the server's certificate"},
      {"p", 5000, "p: The system cannot find message text for message number: '5000'"},
      // An HRESULT prints unsigned.
      {"", 0x80004005u, "The system cannot find message text for message number: '2147500037'"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    const core::windows_system_error error(c.prefix, c.code);
    EXPECT_STREQ(error.what(), c.expected);
    EXPECT_EQ(error.code(), c.code);
  }
}

}  // namespace
