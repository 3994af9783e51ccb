#include "core/net/http/raw_headers.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

using core::net::http::basic_response;
using core::net::http::parse_raw_headers;

struct head_case {
  const char* name;
  const char* raw;
  const char* version;
  int status;
  const char* reason;
  core::string_map headers;
};

class raw_headers : public testing::TestWithParam<head_case> {};

TEST_P(raw_headers, reads_status_line_and_header_lines) {
  const auto& c = GetParam();
  basic_response response;
  parse_raw_headers(c.raw, response);
  EXPECT_EQ(response.version, c.version);
  EXPECT_EQ(response.status, c.status);
  EXPECT_EQ(response.reason, c.reason);
  EXPECT_EQ(response.headers, c.headers);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    blocks, raw_headers,
    testing::Values(
        head_case{"plain", "HTTP/1.1 302 Found\r\nLocation: http://h:8/x\r\nContent-Length: 5\r\n\r\n",
                  "HTTP/1.1", 302, "Found", {{"Content-Length", "5"}, {"Location", "http://h:8/x"}}},
        head_case{"reason_of_several_words_trimmed", "HTTP/1.0 404   Not  Found \t\r\n\r\n",
                  "HTTP/1.0", 404, "Not  Found", {}},
        head_case{"no_reason_and_bare_line_feeds", "HTTP/1.1 204\nX-A: 1\n\n",
                  "HTTP/1.1", 204, "", {{"X-A", "1"}}},
        head_case{"empty_values_and_blanks_after_the_colon",
                  "HTTP/1.1 200 OK\r\nX-Empty:\r\nX-None:v\r\nX-Many:   v\r\nX-Tab:\t v \r\n\r\n",
                  "HTTP/1.1", 200, "OK", {{"X-Empty", ""}, {"X-Many", "v"}, {"X-None", "v"}, {"X-Tab", "v"}}},
        head_case{"repeated_name_keeps_the_last_and_lines_without_colon_are_skipped",
                  "HTTP/1.1 200 OK\r\nX-A: 1\r\ngarbage\r\nX-A: 2\r\n\r\nX-B: after\r\n",
                  "HTTP/1.1", 200, "OK", {{"X-A", "2"}}}),
    test_support::row_name());
// clang-format on

TEST(raw_headers_refused, as_an_invalid_response) {
  for (const char* raw : {"", "ICY 200 OK\r\n\r\n", "http/1.1 200 OK\r\n\r\n",
                          "HTTP/1.1 OK\r\n\r\n", "HTTP/1.1\r\n\r\n"}) {
    basic_response response;
    test_support::expect_error<std::runtime_error>([&] { parse_raw_headers(raw, response); },
                                                   "HTTP version not found. Invalid response.");
  }
}

}  // namespace
