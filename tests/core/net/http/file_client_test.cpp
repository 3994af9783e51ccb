#include <gtest/gtest.h>

#include <filesystem>

#include "core/net/http/client.hpp"
#include "tests/core/net/http/http_test_support.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"
#include "tools/service/server.hpp"

namespace {

using namespace std::chrono_literals;
using core::net::http::basic_file_client;
using core::net::http::basic_file_request;
using http_test::pattern;
using http_test::progress_log;

constexpr auto wait_limit = 10s;

std::size_t open_descriptors() {
  return static_cast<std::size_t>(std::distance(
      std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

class http_file_client : public testing::Test {
 protected:
  std::string write_file(const std::string& name, const std::string& content) const {
    test_support::write_file(folder_.file(name), content);
    return folder_.file(name);
  }

  test_support::temp_folder folder_;
  basic_file_client client_;
};

TEST_F(http_file_client, put_streams_the_file_intact_and_leaks_no_descriptor) {
  const std::string content = pattern((1 << 20) + 5);
  const std::string path = write_file("archive.zip", content);
  const std::size_t descriptors = open_descriptors();
  {
    service::server server;
    server.add_route("PUT", "/upload", service::reply{});
    progress_log uploaded;
    client_.set_upload_progress(uploaded.callback());
    basic_file_request request(server.base_url() + "/upload", {}, "");

    EXPECT_EQ(client_.put(request, "application/octet-stream", path).status, 200);

    EXPECT_EQ(request.file_path, path);
    EXPECT_EQ(uploaded.calls(), http_test::pieces(content.size()));
    const auto received = server.requests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].body == content) << "the body arrived changed";
    EXPECT_EQ(received[0].header("Content-Length"), "1048581");
    EXPECT_EQ(received[0].header("Content-Type"), "application/octet-stream");
  }
  EXPECT_EQ(open_descriptors(), descriptors);
}

TEST_F(http_file_client, file_that_ends_early_fails_the_call) {
  const std::size_t size = 3 << 20;
  const std::string path = write_file("shrinking.zip", pattern(size));
  service::server server;
  server.add_route("PUT", "/upload", service::reply{});
  bool truncated = false;
  client_.set_upload_progress([&](std::uint64_t, std::uint64_t) {
    if (!truncated) {
      std::filesystem::resize_file(path, 1000);
      truncated = true;
    }
  });
  basic_file_request request(server.base_url() + "/upload", {}, "");

  http_test::expect_failure<std::runtime_error>(
      [&] { client_.put(request, "", path); },
      "cannot read the file '" + path + "': it ended before 3145728 bytes");
  ASSERT_TRUE(server.wait_for_requests(1, wait_limit));
  EXPECT_FALSE(server.requests()[0].complete);
}

struct refused_case {
  const char* name;
  const char* file;
  const char* text_before_path;
  const char* text_after_path;
};

class http_file_client_refusal : public http_file_client,
                                 public testing::WithParamInterface<refused_case> {};

TEST_P(http_file_client_refusal, fails_before_any_network_call) {
  const auto& c = GetParam();
  const std::string path = folder_.file(c.file);
  service::server server;
  basic_file_request request(server.base_url() + "/upload", {}, "");

  http_test::expect_failure<std::runtime_error>([&] { client_.put(request, "", path); },
                                                c.text_before_path + path + c.text_after_path);
  EXPECT_TRUE(server.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(files, http_file_client_refusal,
                         testing::Values(refused_case{"missing", "nothing.zip", "file: '",
                                                      "' not found."},
                                         refused_case{"directory", "", "not a regular file: ", ""}),
                         test_support::row_name());

}  // namespace
