#include "core/net/uri.hpp"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <boost/lexical_cast.hpp>
#include <string>
#include <string_view>
#include <thread>

#include "core/net/http/client.hpp"
#include "core/scoped_handle.hpp"
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
        uri_case{"relative_without_leading_slash", "a/b", "", 0, 1, "/a/b", "/a/b"},
        uri_case{"ipv6_keeps_its_brackets", "https://[::1]/desktopserver", "[::1]", 443, 2,
                 "https://[::1]:443/desktopserver", "/desktopserver"},
        uri_case{"ipv6_with_port", "https://[::1]:8443/desktopserver/atom", "[::1]", 8443, 2,
                 "https://[::1]:8443/desktopserver/atom", "/desktopserver/atom"},
        uri_case{"ipv6_lower_cased_with_path", "http://[2001:DB8::1]/path?q", "[2001:db8::1]", 80, 2,
                 "http://[2001:db8::1]:80/path?q", "/path?q"},
        uri_case{"ipv6_with_ipv4_tail", "https://[::ffff:127.0.0.1]:65535/", "[::ffff:127.0.0.1]",
                 65535, 2, "https://[::ffff:127.0.0.1]:65535/", "/"},
        uri_case{"ipv6_after_user_information", "http://me:pw@[::1]:81/x", "[::1]", 81, 2,
                 "http://me:pw@[::1]:81/x", "/x"},
        uri_case{"utf8_host_name", "https://b\xc3\xbc" "cher.example/", "b\xc3\xbc" "cher.example",
                 443, 2, "https://b\xc3\xbc" "cher.example:443/", "/"}),
    test_support::row_name());
// clang-format on

constexpr const char* no_host = "Invalid basic_uri. The Host could not be located and parsed.";

// Addresses come from the settings file and from the service's answers: what
// is not a URL is refused here, before libcurl reads it another way.
TEST(uri_refuse, urls_whose_parts_cannot_be_found) {
  using namespace std::string_view_literals;
  const std::pair<std::string_view, const char*> rows[] = {
      {"https://host", "Invalid URL. The Hierarchy could not be located and parsed."},
      {"https:///x", "Invalid URL. The Hierarchy could not be located and parsed."},
      {"https://[::1]", "Invalid URL. The Hierarchy could not be located and parsed."},
      {"http://me@h/x", "Invalid URL. User could not be located."},
      {"http://me:pw@/x", no_host},
      {"https://:8443/x", no_host},
      {"https://[::1:8443/x", no_host},
      {"https://::1]:8443/x", no_host},
      {"https://::1/x", no_host},
      {"https://[::1]8443/x", no_host},
      {"https://[]/x", no_host},
      {"https://[127.0.0.1]/x", no_host},
      {"https://[::1%25lo]/x", no_host},
      {"https://[::1]evil.example/x", no_host},
      {"http://[::\0evil.example]/p"sv, no_host},
      {"http://[::1\0]/p"sv, no_host},
      {"https://evil.example?.lumbrel.example/x", no_host},
      {"https://evil.example#.lumbrel.example/x", no_host},
      {"https://u:p@evil.example@lumbrel.example/x", no_host},
      {"https://h\\evil/x", no_host},
      {"https://h st/x", no_host},
      {"https://h\r\nX-Evil: 1/x", no_host}};
  for (const auto& [text, message] : rows) {
    SCOPED_TRACE(std::string(text));
    test_support::expect_error<std::invalid_argument>([&] { core::net::uri u{std::string(text)}; },
                                                      message);
  }
}

TEST(uri_refuse, ports_that_are_not_a_tcp_port) {
  for (const char* text :
       {"http://h:8x/", "http://h:/", "https://[::1]:/", "https://[::1]::1/", "http://h:-1/",
        "http://h:+80/", "http://h: 80/", "https://h:65536/", "https://[::1]:99999/"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(core::net::uri{text}, boost::bad_lexical_cast);
  }
}

// A server of one answer on the IPv6 loopback; what it was asked.
class ipv6_server {
 public:
  ipv6_server() : listener_(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (!listener_ || ::bind(listener_.get(), raw, length) != 0 ||
        ::listen(listener_.get(), 1) != 0 || ::getsockname(listener_.get(), raw, &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin6_port);
    thread_ = std::thread([this] { answer_one(); });
  }
  ~ipv6_server() {
    // Wakes an accept that no client came to.
    ::shutdown(listener_.get(), SHUT_RDWR);
    if (thread_.joinable()) {
      thread_.join();
    }
  }

  // 0 when the machine has no IPv6 loopback.
  unsigned short port() const { return port_; }
  // Read after the exchange: the thread has ended.
  std::string request() {
    thread_.join();
    return request_;
  }

 private:
  void answer_one() {
    const core::scoped_handle peer(::accept(listener_.get(), nullptr, nullptr));
    char buffer[4096];
    while (request_.find("\r\n\r\n") == std::string::npos) {
      const ssize_t n = ::read(peer.get(), buffer, sizeof buffer);
      if (n <= 0) {
        return;
      }
      request_.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string answer =
        "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
    // A short write shows as the client's failure.
    [[maybe_unused]] const ssize_t written = ::write(peer.get(), answer.data(), answer.size());
  }

  core::scoped_handle listener_;
  unsigned short port_ = 0;
  std::thread thread_;
  std::string request_;
};

TEST(uri_address, an_ipv6_literal_reaches_the_server_listening_on_it) {
  ipv6_server server;
  if (server.port() == 0) {
    GTEST_SKIP() << "no IPv6 loopback";
  }
  const std::string authority = "[::1]:" + std::to_string(server.port());
  core::net::http::basic_request request("http://" + authority + "/desktopserver/atom?x=1", {});
  core::net::http::basic_client client;

  EXPECT_EQ(client.get(request).body, "ok");
  const std::string asked = server.request();
  EXPECT_EQ(asked.substr(0, asked.find('\r')), "GET /desktopserver/atom?x=1 HTTP/1.1");
  EXPECT_NE(asked.find("\r\nHost: " + authority + "\r\n"), std::string::npos) << asked;
}

}  // namespace
