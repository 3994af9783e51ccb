#include "core/net/uri.hpp"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include "tests/support/table.hpp"

namespace {

struct uri_case {
  const char* name;
  const char* text;
  const char* scheme;
  const char* host;
  int port;
  const char* path;
  const char* query;
  const char* fragment;
  int kind;
  const char* normalized;
  const char* target;
};

class uri_parse : public testing::TestWithParam<uri_case> {};

TEST_P(uri_parse, splits_the_parts) {
  const auto& c = GetParam();
  const core::net::uri u(c.text);
  EXPECT_EQ(u.text(), c.text);
  EXPECT_EQ(u.scheme(), c.scheme);
  EXPECT_EQ(u.host(), c.host);
  EXPECT_EQ(u.port(), c.port);
  EXPECT_EQ(u.path(), c.path);
  EXPECT_EQ(u.query(), c.query);
  EXPECT_EQ(u.fragment(), c.fragment);
  EXPECT_EQ(u.kind(), c.kind);
  EXPECT_EQ(u.normalized(), c.normalized);
  EXPECT_EQ(u.path_and_query(), c.target);
}

INSTANTIATE_TEST_SUITE_P(
    urls, uri_parse,
    testing::Values(
        uri_case{"https_default_port", "https://Send.Lumbrel.Example/desktopserver/atom", "https",
                 "send.lumbrel.example", 443, "/desktopserver/atom", "", "", 2,
                 "https://send.lumbrel.example:443/desktopserver/atom", "/desktopserver/atom"},
        uri_case{"http_default_port", "HTTP://h/", "http", "h", 80, "/", "", "", 2, "http://h:80/",
                 "/"},
        uri_case{"other_scheme_port_zero", "ftp://h/x", "ftp", "h", 0, "/x", "", "", 2, "ftp://h/x",
                 "/x"},
        uri_case{"explicit_port", "https://127.0.0.1:8443/a/B?x=1", "https", "127.0.0.1", 8443,
                 "/a/B", "?x=1", "", 2, "https://127.0.0.1:8443/a/B?x=1", "/a/B?x=1"},
        uri_case{"query_and_fragment", "http://h/p?q=1#Frag", "http", "h", 80, "/p", "?q=1",
                 "#Frag", 2, "http://h:80/p?q=1#Frag", "/p?q=1"},
        uri_case{"fragment_without_query_stays_in_path_not_target", "http://h/p#f", "http", "h",
                 80, "/p#f", "", "", 2, "http://h:80/p#f", "/p"},
        uri_case{"relative_path", "/content/parvel.feed.xml", "", "", 0,
                 "/content/parvel.feed.xml", "", "", 1, "/content/parvel.feed.xml",
                 "/content/parvel.feed.xml"},
        uri_case{"relative_without_leading_slash", "a/b", "", "", 0, "/a/b", "", "", 1, "/a/b",
                 "/a/b"}),
    test_support::row_name());

TEST(uri_parse, user_information) {
  const core::net::uri u("http://me:secret@h:81/x");
  EXPECT_EQ(u.user(), "me");
  EXPECT_EQ(u.password(), "secret");
  EXPECT_EQ(u.host(), "h");
  EXPECT_EQ(u.port(), 81);
  EXPECT_EQ(u.normalized(), "http://me:secret@h:81/x");

  const core::net::uri no_password("http://me@h:81/x");
  EXPECT_EQ(no_password.host(), "h");
  EXPECT_EQ(no_password.port(), 81);
}

struct bad_uri_case {
  const char* name;
  const char* text;
  const char* message;
};

class uri_refuse : public testing::TestWithParam<bad_uri_case> {};

TEST_P(uri_refuse, throws_the_texts) {
  const auto& c = GetParam();
  try {
    core::net::uri u(c.text);
    FAIL() << "parsed " << u.normalized();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    urls, uri_refuse,
    testing::Values(
        bad_uri_case{"no_slash_after_host", "https://host",
                     "Invalid URL. The Hierarchy could not be located and parsed."},
        bad_uri_case{"empty_authority", "https:///x",
                     "Invalid URL. The Hierarchy could not be located and parsed."},
        bad_uri_case{"user_without_colon", "http://me@h/x", "Invalid URL. User could not be located."},
        bad_uri_case{"empty_host_after_user", "http://me:pw@/x",
                     "Invalid basic_uri. The Host could not be located and parsed."}),
    test_support::row_name());

TEST(uri_refuse, port_that_is_not_a_number) {
  EXPECT_THROW(core::net::uri("http://h:8x/"), boost::bad_lexical_cast);
  EXPECT_THROW(core::net::uri("http://h:/"), boost::bad_lexical_cast);
}

}  // namespace
