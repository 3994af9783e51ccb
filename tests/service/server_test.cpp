#include "tools/service/server.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/service/test_certificates.hpp"
#include "tests/support/table.hpp"

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr auto wait_limit = 10s;

struct curl_result {
  int exit_code = -1;
  std::string output;
};

// Runs the curl tool, which knows nothing of our code, with a bounded time.
curl_result run_curl(std::vector<std::string> arguments) {
  char output_path[] = "/tmp/lumbrel-curl-XXXXXX";
  const int output = mkstemp(output_path);
  if (output < 0) {
    throw std::runtime_error("cannot create a temporary file");
  }
  arguments.insert(arguments.begin(), {"curl", "-sS", "--max-time", "20"});
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output, 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  curl_result result;
  int status = 0;
  if (posix_spawnp(&child, "curl", &actions, nullptr, argv.data(), environ) == 0 &&
      waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  close(output);
  std::ifstream in(output_path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  result.output = text.str();
  std::filesystem::remove(output_path);
  return result;
}

std::string numbered(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>('0' + (i * 13 + i / 97) % 10);
  }
  return text;
}

service::reply with_body(std::string body) {
  service::reply answer;
  answer.body = std::move(body);
  return answer;
}

struct answer_case {
  const char* name;
  service::reply answer;
  std::vector<std::string> options;
  int exit_code;
  std::string output;
};

class service_answer : public testing::TestWithParam<answer_case> {};

TEST_P(service_answer, reaches_curl_as_scripted) {
  const auto& c = GetParam();
  service::server server;
  server.add_route("GET", "/r", c.answer);
  auto arguments = c.options;
  arguments.push_back(server.base_url() + "/r?x=1");

  const curl_result result = run_curl(arguments);

  EXPECT_EQ(result.exit_code, c.exit_code);
  EXPECT_EQ(result.output, c.output);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].target, "/r?x=1");
}

service::reply scripted_head() {
  service::reply answer = with_body("made");
  answer.status = 201;
  answer.reason = "Made";
  answer.headers = {{"X-Kind", "media"}};
  return answer;
}

service::reply raw(std::string bytes) {
  service::reply answer;
  answer.raw = std::move(bytes);
  return answer;
}

service::reply cut(std::size_t after) {
  service::reply answer = with_body("0123456789");
  answer.cut_after = after;
  return answer;
}

service::reply trickled() {
  service::reply answer = with_body("0123456789");
  answer.trickle_piece = 3;
  answer.trickle_pause = 10ms;
  return answer;
}

service::reply silent() {
  service::reply answer;
  answer.delay = 20s;
  return answer;
}

service::reply status_only(int status) {
  service::reply answer;
  answer.status = status;
  return answer;
}

INSTANTIATE_TEST_SUITE_P(
    replies, service_answer,
    testing::Values(
        answer_case{"status_headers_and_body",
                    scripted_head(),
                    {"-i"},
                    0,
                    "HTTP/1.1 201 Made\r\nX-Kind: media\r\nContent-Length: 4\r\n\r\nmade"},
        answer_case{"standard_reason_and_empty_body",
                    status_only(204),
                    {"-i"},
                    0,
                    "HTTP/1.1 204 No Content\r\nContent-Length: 0\r\n\r\n"},
        answer_case{
            "raw_bytes", raw("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"), {}, 0, "ok"},
        answer_case{"body_cut_short", cut(4), {}, 18, "0123"},
        answer_case{"trickled_body_arrives_whole", trickled(), {}, 0, "0123456789"},
        answer_case{"silence_outlasts_the_client", silent(), {"--max-time", "1"}, 28, ""}),
    test_support::row_name());

TEST(service_server, unknown_route_is_not_found_and_head_gets_no_body) {
  service::server server;
  server.add_route("HEAD", "/h", with_body("hello"));

  EXPECT_EQ(
      run_curl({"-o", "/dev/null", "-w", "%{http_code}", server.base_url() + "/nowhere"}).output,
      "404");
  EXPECT_EQ(run_curl({"-I", server.base_url() + "/h"}).output,
            "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n");
}

TEST(service_server, serves_several_requests_on_one_connection) {
  service::server server;
  server.add_route("GET", "/r", with_body("ok"));
  const std::string url = server.base_url() + "/r";

  EXPECT_EQ(run_curl({url, url, "-w", "%{num_connects}"}).output, "ok1ok0");
  EXPECT_EQ(server.requests().size(), 2u);
}

struct upload_case {
  const char* name;
  service::body_mode mode;
  bool cut;
};

class service_upload : public testing::TestWithParam<upload_case> {};

TEST_P(service_upload, takes_the_body_as_its_route_says) {
  const auto& c = GetParam();
  const std::string content = numbered(3 << 20);
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("lumbrel-upload-" + std::to_string(getpid()) + c.name))
                               .string();
  std::ofstream(path, std::ios::binary) << content;
  service::server server;
  service::route uploads;
  uploads.method = "PUT";
  uploads.path = "/upload";
  uploads.body = c.mode;
  if (c.cut) {
    uploads.cut_request_after = 65536;
  }
  uploads.respond = [](const service::received_request& request) {
    return with_body(std::to_string(request.body_size));
  };
  server.add_route(uploads);

  // Over 1 MiB curl asks for 100-continue first.
  const curl_result result = run_curl({"-T", path, server.base_url() + "/upload"});
  std::filesystem::remove(path);

  ASSERT_TRUE(server.wait_for_requests(1, wait_limit));
  const auto received = server.requests()[0];
  EXPECT_EQ(received.method, "PUT");
  EXPECT_EQ(received.complete, !c.cut);
  if (c.cut) {
    EXPECT_NE(result.exit_code, 0);
    EXPECT_GE(received.body_size, 65536u);
    return;
  }
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output, std::to_string(content.size()));
  EXPECT_EQ(received.body_size, content.size());
  EXPECT_TRUE(received.body == (c.mode == service::body_mode::keep ? content : ""));
}

INSTANTIATE_TEST_SUITE_P(bodies, service_upload,
                         testing::Values(upload_case{"kept", service::body_mode::keep, false},
                                         upload_case{"discarded", service::body_mode::discard,
                                                     false},
                                         upload_case{"cut", service::body_mode::discard, true}),
                         test_support::row_name());

TEST(service_server, speaks_tls_with_its_certificate) {
  const test_support::test_certificates certificates;
  service::server::options settings;
  settings.certificate_file = certificates.certificate_file();
  settings.private_key_file = certificates.key_file();
  service::server server(settings);
  server.add_route("GET", "/r", with_body("secret"));
  const std::string url = server.base_url() + "/r";

  EXPECT_EQ(url.rfind("https://127.0.0.1:", 0), 0u);
  EXPECT_EQ(run_curl({"--cacert", certificates.ca_file(), url}).output, "secret");
  EXPECT_EQ(run_curl({"--cacert", "/dev/null", url}).exit_code, 77);
  EXPECT_EQ(run_curl({"--cacert", certificates.ca_file(), "--noproxy", "*",
                      "https://localhost:" + std::to_string(server.port()) + "/r"})
                .exit_code,
            60);
}

TEST(service_server, refuses_a_certificate_it_cannot_load) {
  service::server::options settings;
  settings.certificate_file = "/nonexistent/server.pem";
  settings.private_key_file = "/nonexistent/server.key";
  try {
    service::server server(settings);
    FAIL() << "started without its certificate";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(
        std::string(e.what()).rfind("cannot load the certificate '/nonexistent/server.pem' and key "
                                    "'/nonexistent/server.key': ",
                                    0),
        0u);
  }
}

TEST(service_server, stop_cuts_a_scripted_pause_short) {
  service::server server;
  server.add_route("GET", "/r", silent());
  curl_result result;
  std::thread client([&] { result = run_curl({server.base_url() + "/r"}); });

  const bool arrived = server.wait_for_requests(1, wait_limit);
  server.stop();
  client.join();

  EXPECT_TRUE(arrived);
  EXPECT_EQ(result.exit_code, 52) << "the connection closes with no reply";
}

TEST(service_server, wait_for_requests_gives_up_at_its_limit) {
  const service::server server;
  EXPECT_FALSE(server.wait_for_requests(1, 50ms));
}

}  // namespace
