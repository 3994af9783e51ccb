#include "tools/service/server.hpp"

#include <gtest/gtest.h>

#include <thread>

#include "tests/service/test_tools.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using namespace std::chrono_literals;

constexpr auto wait_limit = 10s;

// Runs the curl tool with a bounded time.
test_support::tool_result run_curl(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"curl", "-sS", "--max-time", "20"});
  return test_support::run_tool(arguments);
}

TEST(service_server, replies_reach_curl_as_scripted) {
  const std::string ok_head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
  const struct {
    const char* name;
    service::reply answer;
    int exit_code;
    std::string output;
    std::string option = "-i";  // of curl
  } cases[] = {{"status_headers_and_body",
                {.status = 201, .reason = "Made", .headers = {{"X-Kind", "media"}}, .body = "made"},
                0,
                "HTTP/1.1 201 Made\r\nX-Kind: media\r\nContent-Length: 4\r\n\r\nmade"},
               {"raw_bytes",
                {.raw = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"},
                0,
                "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"},
               {"body_cut_short", {.body = "0123456789", .cut_after = 4}, 18, ok_head + "0123"},
               {"trickled_body_arrives_whole",
                {.body = "0123456789", .trickle_piece = 3, .trickle_pause = 10ms},
                0,
                ok_head + "0123456789"},
               {"silence_outlasts_the_client", {.delay = 20s}, 28, "", "-m1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    service::server server;
    server.add_route("GET", "/r", c.answer);
    const auto result = run_curl({c.option, server.base_url() + "/r?x=1"});
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_EQ(result.output, c.output);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].target, "/r?x=1");
  }
}

TEST(service_server, takes_an_upload_as_its_route_says) {
  const std::string content = test_support::pattern(3 << 20);
  const test_support::temp_folder folder;
  const std::string path = folder.file("archive.zip");
  test_support::write_file(path, content);
  const struct {
    const char* name;
    service::body_mode mode;
    bool cut;
  } cases[] = {{"kept", service::body_mode::keep, false},
               {"discarded", service::body_mode::discard, false},
               {"cut", service::body_mode::discard, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    service::server server;
    server.add_route(
        {.method = "PUT",
         .path = "/upload",
         .respond =
             [](const service::received_request& request) {
               return service::reply{.body = std::to_string(request.body_size)};
             },
         .body = c.mode,
         .cut_request_after = c.cut ? std::optional<std::uint64_t>(65536) : std::nullopt});

    // Over 1 MiB curl asks for 100-continue first.
    const auto result = run_curl({"-T", path, server.base_url() + "/upload"});

    ASSERT_TRUE(server.wait_for_requests(1, wait_limit));
    const auto received = server.requests()[0];
    EXPECT_EQ(received.method, "PUT");
    EXPECT_EQ(received.complete, !c.cut);
    if (c.cut) {
      EXPECT_NE(result.exit_code, 0);
      EXPECT_GE(received.body_size, 65536u);
      continue;
    }
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.output, std::to_string(content.size()));
    EXPECT_EQ(received.body_size, content.size());
    EXPECT_TRUE(received.body == (c.mode == service::body_mode::keep ? content : ""));
  }
}

service::server::options tls_options(const test_support::test_certificates& certificates) {
  service::server::options settings;
  settings.certificate_file = certificates.certificate_file();
  settings.private_key_file = certificates.key_file();
  return settings;
}

TEST(service_server, speaks_tls_with_its_certificate) {
  const test_support::test_certificates certificates;
  service::server server(tls_options(certificates));
  server.add_route("GET", "/r", {.body = "secret"});
  const std::string url = server.base_url() + "/r";

  EXPECT_EQ(url.rfind("https://127.0.0.1:", 0), 0u);
  EXPECT_EQ(run_curl({"--cacert", certificates.ca_file(), url}).output, "secret");
  EXPECT_EQ(run_curl({"--cacert", "/dev/null", url}).exit_code, 77);
  EXPECT_EQ(run_curl({"--cacert", certificates.ca_file(), "--noproxy", "*",
                      "https://localhost:" + std::to_string(server.port()) + "/r"})
                .exit_code,
            60);
}

// Told apart by python's TLS, which reports a connection closed without a
// close_notify as a violation of the protocol.
TEST(service_server, a_cut_answer_ends_the_tls_session_as_scripted) {
  const test_support::test_certificates certificates;
  service::server server(tls_options(certificates));
  server.add_route("GET", "/closed", {.body = "0123456789", .cut_after = 4});
  server.add_route("GET", "/notified",
                   {.body = "0123456789", .cut_after = 4, .close_notify = true});
  const std::string reader = R"(
import socket, ssl, sys
tls = ssl.create_default_context(cafile=sys.argv[1])
peer = tls.wrap_socket(socket.create_connection(("127.0.0.1", int(sys.argv[2]))),
                       server_hostname="127.0.0.1", suppress_ragged_eofs=False)
peer.sendall(b"GET " + sys.argv[3].encode() + b" HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
body = b""
try:
    while piece := peer.recv(4096):
        body += piece
    print(body.split(b"\r\n\r\n", 1)[1].decode(), "close_notify")
except ssl.SSLEOFError:
    print(body.split(b"\r\n\r\n", 1)[1].decode(), "closed")
)";
  for (const auto& [target, ending] :
       {std::pair{"/closed", "0123 closed\n"}, std::pair{"/notified", "0123 close_notify\n"}}) {
    SCOPED_TRACE(target);
    EXPECT_EQ(test_support::run_tool({"python3", "-c", reader, certificates.ca_file(),
                                      std::to_string(server.port()), target})
                  .output,
              ending);
  }
}

TEST(service_server, stop_cuts_a_scripted_pause_short) {
  service::server server;
  server.add_route("GET", "/r", {.delay = 20s});
  test_support::tool_result result;
  std::thread client([&] { result = run_curl({server.base_url() + "/r"}); });

  const bool arrived = server.wait_for_requests(1, wait_limit);
  server.stop();
  client.join();

  EXPECT_TRUE(arrived);
  EXPECT_EQ(result.exit_code, 52) << "the connection closes with no reply";
}

}  // namespace
