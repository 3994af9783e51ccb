#include "core/net/http/client.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>

#include "core/net/http/method.hpp"
#include "tests/core/net/http/http_test_support.hpp"
#include "tests/core/net/http/silent_peers.hpp"
#include "tests/support/table.hpp"
#include "tools/service/server.hpp"

namespace {

using namespace std::chrono_literals;
using core::net::http::answer_wait;
using core::net::http::basic_client;
using core::net::http::basic_request;
using core::net::http::basic_response;
namespace method = core::net::http::method;
using http_test::pattern;
using http_test::pieces;
using http_test::progress_log;

class http_client : public testing::Test {
 protected:
  std::string url(const std::string& path) const { return server_.base_url() + path; }

  service::server server_;
  basic_client client_;
};

struct upload_case {
  const char* name;
  int method;
  std::size_t size;
};

class http_client_upload : public http_client, public testing::WithParamInterface<upload_case> {};

TEST_P(http_client_upload, sends_the_body_in_pieces_with_progress_after_each) {
  const auto& c = GetParam();
  server_.add_route("", "/upload", service::reply{});
  progress_log uploaded;
  progress_log downloaded;
  client_.set_upload_progress(uploaded.callback());
  client_.set_download_progress(downloaded.callback());
  bool proxy_told = false;
  client_.set_proxy_holding([&] { proxy_told = true; });
  basic_request request(url("/upload"), {});
  const std::string body = pattern(c.size);

  const basic_response response = c.method == method::post
                                      ? client_.post(request, body, "application/x-test")
                                      : client_.put(request, body, "application/x-test");

  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(uploaded.calls(), pieces(c.size));
  EXPECT_TRUE(downloaded.calls().empty());
  EXPECT_FALSE(proxy_told);
  EXPECT_EQ(request.headers.at("Content-Length"), std::to_string(c.size));
  const auto received = server_.requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].method, core::net::http::verb(c.method));
  EXPECT_TRUE(received[0].complete);
  EXPECT_TRUE(received[0].body == body) << "the body arrived changed";
  EXPECT_EQ(received[0].header("Content-Length"), std::to_string(c.size));
  EXPECT_EQ(received[0].header("Content-Type"), "application/x-test");
}

INSTANTIATE_TEST_SUITE_P(bodies, http_client_upload,
                         testing::Values(upload_case{"post_of_40000", method::post, 40000},
                                         upload_case{"put_one_byte_over_a_piece", method::put,
                                                     16385},
                                         upload_case{"empty_post", method::post, 0}),
                         test_support::row_name());

TEST_F(http_client, sends_only_the_headers_given_and_its_own) {
  server_.add_route("", "/headers", service::reply{});
  basic_request plain(url("/headers?x=1#fragment"), {{"Accept-Language", "de"}, {"X-Empty", ""}});
  client_.get(plain);
  basic_request with_accept(url("/headers"), {{"Accept", "application/atom+xml"}});
  client_.get(with_accept);
  // A wrong length cannot break the framing: the body's own goes out.
  basic_request octets(url("/headers"), {{"Content-Length", "999"}});
  client_.post_octets(octets, "abc");
  octets.headers["Content-Length"] = "1";
  client_.send(octets);

  const auto received = server_.requests();
  ASSERT_EQ(received.size(), 4u);
  const auto& get = received[0];
  EXPECT_EQ(get.method, "GET");
  EXPECT_EQ(get.target, "/headers?x=1");
  EXPECT_EQ(get.header("User-Agent"), "core::net::winhttp");
  EXPECT_EQ(get.header("Host"), "127.0.0.1:" + std::to_string(server_.port()));
  EXPECT_EQ(get.header("Accept-Language"), "de");
  EXPECT_TRUE(get.has_header("X-Empty"));
  EXPECT_EQ(get.header("X-Empty"), "");
  for (const char* absent : {"Accept", "Expect", "Content-Type", "Content-Length"}) {
    EXPECT_FALSE(get.has_header(absent)) << absent;
  }
  EXPECT_EQ(received[1].header("Accept"), "application/atom+xml");
  for (const auto& post : {received[2], received[3]}) {
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.header("Content-Type"), "application/octet-stream");
    EXPECT_EQ(post.header("Content-Length"), "3");
    EXPECT_EQ(post.body, "abc");
    EXPECT_FALSE(post.has_header("Expect"));
  }
}

TEST_F(http_client, head_returns_the_head_without_body_or_download_progress) {
  server_.add_route("", "/head", {.headers = {{"X-Kind", "media"}}, .body = "hello"});
  progress_log downloaded;
  client_.set_download_progress(downloaded.callback());
  basic_request request(url("/head"), {});
  request.method = method::head;

  const basic_response response = client_.send(request);

  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.headers.at("X-Kind"), "media");
  EXPECT_EQ(response.headers.at("Content-Length"), "5");
  EXPECT_EQ(response.body, "");
  EXPECT_TRUE(downloaded.calls().empty());
  EXPECT_EQ(server_.requests().at(0).method, "HEAD");
}

TEST_F(http_client, download_reports_bytes_so_far_against_the_announced_length_or_zero) {
  const std::string body = pattern(100000);
  server_.add_route("GET", "/file", {.body = body});
  server_.add_route("GET", "/unsized",
                    {.raw = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nhello"});
  progress_log downloaded;
  client_.set_download_progress(downloaded.callback());
  basic_request request(url("/file"), {});

  EXPECT_TRUE(client_.get(request).body == body) << "the body arrived changed";
  const auto calls = downloaded.calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), std::make_pair(std::uint64_t{100000}, std::uint64_t{100000}));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].second, 100000u);
    EXPECT_TRUE(i == 0 || calls[i].first > calls[i - 1].first);
  }
  basic_request unsized(url("/unsized"), {});
  EXPECT_EQ(client_.get(unsized).body, "hello");
  EXPECT_EQ(downloaded.calls().back(), std::make_pair(std::uint64_t{5}, std::uint64_t{0}));
  EXPECT_EQ(downloaded.calls().size(), calls.size() + 1);
  // An error page is the answer's body, but no progress of a download.
  server_.add_route("GET", "/missing", {.status = 404, .body = "<html>gone</html>"});
  basic_request missing(url("/missing"), {});
  EXPECT_EQ(client_.get(missing).body, "<html>gone</html>");
  EXPECT_EQ(downloaded.calls().size(), calls.size() + 1);
}

struct redirect_case {
  const char* name;
  int method, status;
  // nullptr: the redirect is not followed but is the answer.
  const char* then_method;
  const char* then_body;
  bool may_change_method = true;
};

class http_client_redirect : public http_client,
                             public testing::WithParamInterface<redirect_case> {};

TEST_P(http_client_redirect, is_followed_as_browsers_do) {
  const auto& c = GetParam();
  server_.add_route("", "/here",
                    {.status = c.status, .headers = {{"Location", "/there?q=1"}}, .body = "moved"});
  server_.add_route("", "/there", {.body = "arrived"});
  progress_log downloaded;
  client_.set_download_progress(downloaded.callback());
  basic_request request(url("/here"), {});
  request.method = c.method;
  request.body = "payload";
  request.redirect_may_change_method = c.may_change_method;

  const basic_response response = client_.send(request);

  if (c.then_method == nullptr) {
    EXPECT_EQ(response.status, c.status);
    EXPECT_EQ(server_.requests().size(), 1u);
    return;
  }
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, "arrived");
  EXPECT_EQ(downloaded.calls(), (http_test::progress_calls{{7, 7}}));
  const auto received = server_.requests();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1].method, c.then_method);
  EXPECT_EQ(received[1].target, "/there?q=1");
  EXPECT_EQ(received[1].body, c.then_body);
}

INSTANTIATE_TEST_SUITE_P(
    statuses, http_client_redirect,
    testing::Values(redirect_case{"found_turns_post_into_get", method::post, 302, "GET", ""},
                    redirect_case{"see_other_turns_put_into_get", method::put, 303, "GET", ""},
                    redirect_case{"temporary_resends_the_put", method::put, 307, "PUT", "payload"},
                    redirect_case{"see_other_answers_a_put_bound_to_its_method", method::put, 303,
                                  nullptr, nullptr, false},
                    redirect_case{"found_answers_a_post_bound_to_its_method", method::post, 302,
                                  nullptr, nullptr, false},
                    redirect_case{"permanent_resends_a_post_bound_to_its_method", method::post, 308,
                                  "POST", "payload", false}),
    test_support::row_name());

// A loop of redirects that repeat the request: the body goes out twice, then
// the redirect is the answer.
TEST_F(http_client, a_redirect_loop_sends_the_body_twice_at_most) {
  server_.add_route("", "/loop", {.status = 307, .headers = {{"Location", "/loop"}}});
  progress_log uploaded;
  client_.set_upload_progress(uploaded.callback());
  basic_request request(url("/loop"), {});

  EXPECT_EQ(client_.put(request, pattern(20000), "application/octet-stream").status, 307);
  EXPECT_EQ(server_.requests().size(), 2u);
  http_test::progress_calls twice = pieces(20000);
  const http_test::progress_calls once = twice;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(uploaded.calls(), twice);
}

struct failure_case {
  const char* name;
  service::reply answer;
  std::uint32_t code;
  const char* text;
  // The transport's own words; nullptr: not checked.
  const char* detail;
  answer_wait wait = answer_wait::deadline;
  // The status of the answer's head that had arrived, which the failure
  // carries; 0: none had.
  int arrived = 0;
};

class http_client_failure : public http_client, public testing::WithParamInterface<failure_case> {};

TEST_P(http_client_failure, ends_the_call_with_the_transport_code) {
  const auto& c = GetParam();
  const http_test::short_timeouts timeouts(1s);
  server_.add_route("GET", "/fault", c.answer);
  basic_request request(url("/fault"), {});
  request.wait = c.wait;

  int arrived = -1;
  const auto call = [&] {
    try {
      client_.get(request);
    } catch (const core::net::http::transport_error& e) {
      arrived = e.arrived().status;
      throw;
    }
  };
  http_test::expect_transport_failure(call, c.code, c.text, c.detail);
  EXPECT_EQ(arrived, c.arrived);
}

// A bulk transfer's answer is bound only by the stall floor: it may take
// longer than the deadline of other answers.
TEST_F(http_client, bulk_answer_outlasts_the_answer_deadline) {
  const http_test::short_timeouts timeouts(1s);
  server_.add_route("GET", "/bulk",
                    {.body = pattern(40), .trickle_piece = 2, .trickle_pause = 100ms});
  basic_request request(url("/bulk"), {});
  request.wait = answer_wait::stall_floor;

  EXPECT_EQ(client_.get(request).body, pattern(40));
}

// The answer's deadline counts from the request's last byte: an upload that
// takes longer than the deadline to go out is not cut.
TEST_F(http_client, upload_outlasts_the_answer_deadline) {
  const http_test::short_timeouts timeouts({.connect = 5s, .stall = 5s, .answer = 1s});
  // More than the loopback connection holds: the body waits for the pause.
  server_.add_route({.method = "PUT",
                     .path = "/slow",
                     .respond = [](const auto&) { return service::reply{.body = "stored"}; },
                     .body = service::body_mode::discard,
                     .stall_request = 2s});
  basic_request request(url("/slow"), {});

  EXPECT_EQ(client_.put(request, pattern(16 << 20), "application/octet-stream").body, "stored");
}

struct limit_case {
  const char* name;
  service::reply answer;
  // nullopt: the default limit.
  std::optional<std::uint64_t> limit;
  int method;
  // The body size of an answer that fits; nullopt: refused.
  std::optional<std::size_t> kept;
  // A GET whose body goes to a sink, not into the answer.
  bool streamed = false;
};

class http_client_body_limit : public http_client,
                               public testing::WithParamInterface<limit_case> {};

TEST_P(http_client_body_limit, refuses_a_body_over_the_limit_as_a_failed_read) {
  const auto& c = GetParam();
  server_.add_route("", "/answer", c.answer);
  basic_request request(url("/answer"), {});
  request.method = c.method;
  std::size_t sunk = 0;
  const auto call = [&] {
    if (c.streamed) {
      return client_.get(request, [&](std::string_view piece) { sunk += piece.size(); });
    }
    return c.limit ? client_.send(request, *c.limit) : client_.send(request);
  };

  if (c.kept) {
    const basic_response response = call();
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body.size() + sunk, *c.kept);
    EXPECT_EQ(sunk, c.streamed ? *c.kept : 0);
  } else {
    http_test::expect_transport_failure(call, EMSGSIZE, "Failed to read data.: Message too long");
  }
  // A refused body leaves the client fit for the next call.
  basic_request next(url("/answer"), {});
  next.method = method::head;
  EXPECT_EQ(client_.send(next).status, 200);
}

const std::string over_default = pattern((16 << 20) + 1);

// An answer of two chunks, then the connection closed.
std::string chunked(std::size_t first, std::size_t second) {
  std::string text = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
  for (const std::size_t size : {first, second}) {
    char line[16];
    std::snprintf(line, sizeof line, "%zx\r\n", size);
    text += line + pattern(size) + "\r\n";
  }
  return text + "0\r\n\r\n";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    bodies, http_client_body_limit,
    testing::Values(
        limit_case{"announced_at_the_limit", {.body = pattern(1000)}, 1000, method::get, 1000},
        limit_case{"announced_one_over", {.body = pattern(1001)}, 1000, method::get, std::nullopt},
        limit_case{"unannounced_one_over",
                   {.raw = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + pattern(1001)}, 1000,
                   method::get, std::nullopt},
        limit_case{"chunked_at_the_limit", {.raw = chunked(600, 400)}, 1000, method::get, 1000},
        limit_case{"chunked_one_over", {.raw = chunked(600, 401)}, 1000, method::get, std::nullopt},
        limit_case{"head_announcing_more", {.body = pattern(1001)}, 1000, method::head, 0},
        limit_case{"one_over_sixteen_mib_by_default", {.body = over_default}, std::nullopt,
                   method::get, std::nullopt},
        limit_case{"streamed_to_a_sink_past_it", {.body = over_default}, std::nullopt, method::get,
                   over_default.size(), true}),
    test_support::row_name());

INSTANTIATE_TEST_SUITE_P(
    faults, http_client_failure,
    testing::Values(
        // The stall floor and the deadline strike together: either may tell.
        failure_case{"silent_server", {.delay = 20s}, 12002,
                     "Wait to receive the WinHTTP response failed.: The operation timed out", nullptr},
        failure_case{"body_cut_short", {.body = pattern(40000), .cut_after = 1000}, 12030,
                     "Failed to read data.: The connection with the server was terminated abnormally",
                     "transfer closed with 39000 bytes remaining to read", answer_wait::deadline, 200},
        // Without a deadline: the stall floor alone ends it.
        failure_case{"body_stalls", {.body = pattern(4000), .trickle_piece = 1000, .trickle_pause = 20s},
                     12002, "Failed to read data.: The operation timed out",
                     "no byte went out or came in for 1000 ms",
                     answer_wait::stall_floor, 200},
        // Fast enough for the stall floor, too slow to end within the deadline.
        failure_case{"body_trickles", {.body = pattern(400), .trickle_piece = 1, .trickle_pause = 50ms},
                     12002, "Failed to read data.: The operation timed out",
                     "no whole answer within 1000 ms of the request", answer_wait::deadline, 200},
        failure_case{"answer_is_not_http", {.raw = "HELLO WORLD\r\n\r\n"}, 12152,
                     "Wait to receive the WinHTTP response failed.: The server returned an invalid or "
                     "unrecognized response", "Received HTTP/0.9 when not allowed"},
        failure_case{"closed_without_answer", {.raw = ""}, 12030,
                     "Wait to receive the WinHTTP response failed.: The connection with the server was "
                     "terminated abnormally", "Empty reply from server"}),
    test_support::row_name());
// clang-format on

TEST(http_client_refusal, closed_port_cannot_connect) {
  const http_test::refused_port closed;
  basic_client client;
  basic_request request("http://127.0.0.1:" + std::to_string(closed.port()) + "/", {});

  http_test::expect_transport_failure(
      [&] { client.get(request); }, 12029,
      "Cannot send the WinHTTP request.: A connection with the server could not be established");
}

}  // namespace
