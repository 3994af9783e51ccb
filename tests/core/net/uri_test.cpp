#include "core/net/uri.hpp"

#include <gtest/gtest.h>
#include <boost/lexical_cast.hpp>

#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

struct uri_case {
  const char* name;
  const char* text;
  const char* host;
  int port;
  int kind;
  const char* normalized;
  const char* target;  // what goes to the server
};

class uri_parse : public testing::TestWithParam<uri_case> {};

TEST_P(uri_parse, splits_the_parts) {
  const auto& c = GetParam();
  const core::net::uri u(c.text);
  EXPECT_EQ(u.host(), c.host);
  EXPECT_EQ(u.port(), c.port);
  EXPECT_EQ(u.kind(), c.kind);
  EXPECT_EQ(u.normalized(), c.normalized);
  EXPECT_EQ(u.path_and_query(), c.target);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    urls, uri_parse,
    testing::Values(
        uri_case{"https_default_port", "https://Send.Lumbrel.Example/desktopserver/atom", "send.lumbrel.example",
                 443, 2, "https://send.lumbrel.example:443/desktopserver/atom", "/desktopserver/atom"},
        uri_case{"http_default_port", "HTTP://h/", "h", 80, 2, "http://h:80/", "/"},
        uri_case{"other_scheme_port_zero", "ftp://h/x", "h", 0, 2, "ftp://h/x", "/x"},
        uri_case{"explicit_port", "https://127.0.0.1:8443/a/B?x=1", "127.0.0.1", 8443, 2,
                 "https://127.0.0.1:8443/a/B?x=1", "/a/B?x=1"},
        uri_case{"query_and_fragment", "http://h/p?q=1#Frag", "h", 80, 2, "http://h:80/p?q=1#Frag", "/p?q=1"},
        uri_case{"fragment_without_query_stays_out_of_the_target", "http://h/p#f", "h", 80, 2, "http://h:80/p#f",
                 "/p"},
        uri_case{"user_and_password", "http://me:secret@h:81/x", "h", 81, 2, "http://me:secret@h:81/x", "/x"},
        uri_case{"relative_path", "/content/parvel.feed.xml", "", 0, 1, "/content/parvel.feed.xml",
                 "/content/parvel.feed.xml"},
        uri_case{"relative_without_leading_slash", "a/b", "", 0, 1, "/a/b", "/a/b"}),
    test_support::row_name());
// clang-format on

TEST(uri_refuse, urls_whose_parts_cannot_be_found) {
  const std::pair<const char*, const char*> rows[] = {
      {"https://host", "Invalid URL. The Hierarchy could not be located and parsed."},
      {"https:///x", "Invalid URL. The Hierarchy could not be located and parsed."},
      {"http://me@h/x", "Invalid URL. User could not be located."},
      {"http://me:pw@/x", "Invalid basic_uri. The Host could not be located and parsed."}};
  for (const auto& [text, message] : rows) {
    test_support::expect_error<std::invalid_argument>([&] { core::net::uri u(text); }, message);
  }
  EXPECT_THROW(core::net::uri("http://h:8x/"), boost::bad_lexical_cast);
  EXPECT_THROW(core::net::uri("http://h:/"), boost::bad_lexical_cast);
}

}  // namespace
