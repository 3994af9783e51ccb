#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "core/net/http/call_canceled.hpp"
#include "core/net/http/client.hpp"
#include "tests/core/net/http/http_test_support.hpp"
#include "tests/service/test_tools.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"
#include "tools/service/server.hpp"
#include "tools/service/tunnel_proxy.hpp"

namespace {

using core::net::http::basic_client;
using core::net::http::basic_request;
using namespace std::chrono_literals;

class https_client : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    certificates_ = std::make_unique<test_support::test_certificates>();
  }
  static void TearDownTestSuite() { certificates_.reset(); }

  static std::unique_ptr<test_support::test_certificates> certificates_;
  service::server server_{{certificates_->certificate_file(), certificates_->key_file()}};
  basic_client client_;
};

std::unique_ptr<test_support::test_certificates> https_client::certificates_;

struct trust_case {
  const char* name;
  bool trust_test_ca;
  const char* host;
  const char* failure;
  // libcurl's words for the refusal.
  const char* detail = nullptr;
};

class https_client_trust : public https_client, public testing::WithParamInterface<trust_case> {};

TEST_P(https_client_trust, accepts_only_a_verified_peer_with_its_own_name) {
  const auto& c = GetParam();
  // Empty: the system's store alone.
  const test_support::scoped_env bundle("SSL_CERT_FILE",
                                        c.trust_test_ca ? certificates_->ca_file() : "");
  server_.add_route("GET", "/feed.xml", service::reply{200, "", {}, "<feed/>"});
  basic_request request(
      std::string("https://") + c.host + ":" + std::to_string(server_.port()) + "/feed.xml", {});

  if (c.failure == nullptr) {
    EXPECT_EQ(client_.get(request).body, "<feed/>");
  } else {
    http_test::expect_transport_failure([&] { client_.get(request); }, 12175, c.failure, c.detail);
    EXPECT_TRUE(server_.requests().empty());
  }
}

constexpr const char* refused =
    "Cannot send the WinHTTP request.: A security error occurred while checking the server's "
    "certificate";

INSTANTIATE_TEST_SUITE_P(
    peers, https_client_trust,
    testing::Values(trust_case{"unknown_authority", false, "127.0.0.1", refused,
                               "SSL certificate problem: unable to get local issuer certificate"},
                    trust_case{"authority_from_ssl_cert_file", true, "127.0.0.1", nullptr},
                    trust_case{"wrong_host_name", true, "localhost", refused,
                               "SSL: no alternative certificate subject name matches target host "
                               "name 'localhost'"}),
    test_support::row_name());

TEST_F(https_client, never_follows_a_redirect_down_to_plain_http) {
  const test_support::scoped_env bundle("SSL_CERT_FILE", certificates_->ca_file());
  service::server plain;
  plain.add_route("GET", "/installer.bin", service::reply{});
  server_.add_route(
      "GET", "/installer.bin",
      {.status = 302, .headers = {{"Location", plain.base_url() + "/installer.bin"}}});
  basic_request request(server_.base_url() + "/installer.bin", {});

  const auto response = client_.get(request);

  EXPECT_EQ(response.status, 302);
  EXPECT_EQ(response.headers.at("Location"), plain.base_url() + "/installer.bin");
  EXPECT_TRUE(plain.requests().empty());
}

// Over TLS too the cut reaches the caller as an error, never as SIGPIPE.
TEST_F(https_client, upload_cut_by_the_server_fails_while_writing) {
  const test_support::scoped_env bundle("SSL_CERT_FILE", certificates_->ca_file());
  server_.add_route({.path = "/upload", .cut_request_after = 65536});
  basic_request request(server_.base_url() + "/upload", {});

  http_test::expect_transport_failure(
      [&] { client_.put(request, test_support::pattern(64 << 20), "application/octet-stream"); },
      12030,
      "Failed to write request data to an HTTP server.: The connection with the server was "
      "terminated abnormally");
}

struct proxy_case {
  const char* name;
  service::tunnel_proxy::options proxy;
  std::size_t body;
  // The server's silence before its answer.
  std::chrono::milliseconds delay;
  // The transport's words; nullptr: the upload is answered.
  const char* failure;
  // Canceled once this share of the body has been reported sent.
  std::optional<int> cancel_at_percent;
  // The pace the answer's wait allows the proxy (timeouts::slowest_proxy_uplink).
  std::uint64_t slowest_uplink = 4000;
};

class https_client_proxy : public https_client, public testing::WithParamInterface<proxy_case> {};

// A proxy on a fast network takes the body ahead of its uplink and forwards
// it for some seconds, unseen: neither its pauses in taking the body nor the
// wait for the answer past the floor of two seconds end the call, and the
// client tells that the proxy may hold the body from its first progress on
// and through that wait; a silent server, as a proxy that never forwards
// would be, still ends it after a wait the failure states, which a tunnel the
// proxy ended before does not lengthen: it forwards nothing more of it. A
// cancel stops the body at what had left: the proxy forwards what it took,
// never what the client's socket still held.
TEST_P(https_client_proxy, waits_for_the_body_the_proxy_still_forwards) {
  const auto& c = GetParam();
  const test_support::scoped_env bundle("SSL_CERT_FILE", certificates_->ca_file());
  const service::tunnel_proxy proxy(c.proxy);
  const test_support::scoped_env https_proxy("https_proxy", proxy.url());
  const test_support::scoped_env no_proxy("no_proxy", "");
  const http_test::short_timeouts timeouts({.connect = 5s,
                                            .stall = 1s,
                                            .answer = 1s,
                                            .proxied_answer = 2s,
                                            .slowest_proxy_uplink = c.slowest_uplink});
  server_.add_route({.method = "PUT",
                     .path = "/upload",
                     .respond = [&](const auto&) { return service::reply{.delay = c.delay}; },
                     .body = service::body_mode::discard});
  basic_request request(server_.base_url() + "/upload", {});
  if (c.proxy.end_first_after) {
    EXPECT_THROW(client_.put(request, test_support::pattern(256 << 10), "application/octet-stream"),
                 core::windows_system_error);
  }
  std::uint64_t reported = 0;
  std::uint64_t canceled_at = 0;
  std::size_t told_while_leaving = 0;
  std::size_t told_once_left = 0;
  bool told_before_progress = false;
  client_.set_proxy_holding([&] { ++(reported < c.body ? told_while_leaving : told_once_left); });
  client_.set_upload_progress([&](std::uint64_t done, std::uint64_t total) {
    told_before_progress = told_before_progress || (reported == 0 && told_while_leaving > 0);
    reported = done;
    if (c.cancel_at_percent && canceled_at == 0 && done * 100 >= total * *c.cancel_at_percent) {
      canceled_at = done;
      client_.cancel();
    }
  });
  const auto upload = [&] {
    return client_.put(request, test_support::pattern(c.body), "application/octet-stream");
  };

  if (c.cancel_at_percent) {
    test_support::expect_error<core::net::http::call_canceled>(upload, "WinHTTP close pending....");
    ASSERT_TRUE(server_.wait_for_requests(1, 20s));
    const std::uint64_t arrived = server_.requests().back().body_size;
    // Beyond what had left: the proxy's receive buffer, and what left while
    // the cancel was on its way.
    EXPECT_LE(arrived, canceled_at + (1 << 20));
    EXPECT_LT(arrived, c.body);
  } else if (c.failure == nullptr) {
    EXPECT_EQ(upload().status, 200);
  } else {
    http_test::expect_transport_failure(
        upload, 12002, "Wait to receive the WinHTTP response failed.: The operation timed out",
        c.failure);
  }
  EXPECT_EQ(proxy.tunnels(), c.proxy.end_first_after ? 2u : 1u);
  EXPECT_TRUE(told_before_progress);
  // Once all has left, at least once a second until the answer begins.
  const auto held_after_body = std::chrono::milliseconds(
      std::min<std::uint64_t>(c.proxy.held.value_or(c.body), c.body) * 1000 / c.proxy.rate);
  if (!c.cancel_at_percent && held_after_body + c.delay >= 1s) {
    EXPECT_GE(told_once_left, 1u);
  }
}

// Takes all at once and forwards it for four seconds.
const service::tunnel_proxy::options taking_all{.rate = 512 << 10};
// Takes 96 KiB, then nothing for the second and a half its uplink needs to
// forward them, as squid does.
const service::tunnel_proxy::options bursting{.rate = 64 << 10, .held = 96 << 10, .bursts = true};
// Takes 256 KiB ahead of an uplink of 4 MiB a second: the client's socket
// holds what it has not taken.
const service::tunnel_proxy::options taking_at_its_pace{.rate = 4 << 20, .held = 256 << 10};
// Takes a mebibyte at once, then at the pace of its uplink, as tinyproxy does.
const service::tunnel_proxy::options taking_ahead{.rate = 512 << 10, .held = 1 << 20};
constexpr const char* silent_for_two_seconds =
    "no whole answer within 2000 ms of the proxy's taking the request";

INSTANTIATE_TEST_SUITE_P(
    answers, https_client_proxy,
    testing::Values(
        proxy_case{"answered_once_forwarded", taking_all, 2 << 20, 0ms, nullptr},
        proxy_case{"taken_in_bursts", bursting, 256 << 10, 0ms, nullptr},
        proxy_case{"taken_at_a_fast_pace", taking_at_its_pace, 8 << 20, 0ms, nullptr},
        proxy_case{"taken_ahead_then_at_a_slow_pace", taking_ahead, 2 << 20, 0ms, nullptr},
        proxy_case{"silent_server", taking_all, 1 << 10, 30s, silent_for_two_seconds},
        proxy_case{"silent_server_after_a_tunnel_the_proxy_closed",
                   {.rate = 512 << 10, .end_first_after = 128 << 10},
                   1 << 10,
                   30s,
                   silent_for_two_seconds,
                   std::nullopt,
                   64 << 10},
        proxy_case{"silent_server_after_a_tunnel_the_proxy_reset",
                   {.rate = 512 << 10, .end_first_after = 128 << 10, .end_with_reset = true},
                   1 << 10,
                   30s,
                   silent_for_two_seconds,
                   std::nullopt,
                   64 << 10},
        proxy_case{"canceled_at_20_percent", taking_at_its_pace, 32 << 20, 0ms, nullptr, 20},
        proxy_case{"canceled_at_60_percent", taking_at_its_pace, 32 << 20, 0ms, nullptr, 60}),
    test_support::row_name());

}  // namespace
