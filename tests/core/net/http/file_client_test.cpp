#include <gtest/gtest.h>

#include <filesystem>

#include "core/net/http/client.hpp"
#include "tests/core/net/http/http_test_support.hpp"
#include "tests/support/descriptors.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/temp_folder.hpp"
#include "tools/service/server.hpp"

namespace {

using namespace std::chrono_literals;
using core::net::http::basic_file_client;
using core::net::http::basic_file_request;
using http_test::pattern;
using test_support::expect_error;

class http_file_client : public testing::Test {
 protected:
  test_support::temp_folder folder_;
  service::server server_;
  basic_file_request request_{server_.base_url() + "/upload", {}, ""};
  basic_file_client client_;
};

TEST(http_file_client_put, streams_the_file_intact_and_leaks_no_descriptor) {
  test_support::temp_folder folder;
  const std::string content = pattern((1 << 20) + 5);
  const std::string path = folder.file("archive.zip");
  test_support::write_file(path, content);
  const int descriptors = test_support::open_descriptors();
  {
    service::server server;
    server.add_route("PUT", "/upload", service::reply{});
    http_test::progress_log uploaded;
    basic_file_client client;
    client.set_upload_progress(uploaded.callback());
    basic_file_request request(server.base_url() + "/upload", {}, "");

    EXPECT_EQ(client.put(request, "application/octet-stream", path).status, 200);

    EXPECT_EQ(request.file_path, path);
    EXPECT_EQ(uploaded.calls(), http_test::pieces(content.size()));
    const auto received = server.requests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].body == content) << "the body arrived changed";
    EXPECT_EQ(received[0].header("Content-Length"), "1048581");
    EXPECT_EQ(received[0].header("Content-Type"), "application/octet-stream");
  }
  EXPECT_EQ(test_support::open_descriptors(), descriptors);
}

TEST_F(http_file_client, file_that_ends_early_fails_the_call) {
  const std::string path = folder_.file("shrinking.zip");
  test_support::write_file(path, pattern(3 << 20));
  server_.add_route("PUT", "/upload", service::reply{});
  bool truncated = false;
  client_.set_upload_progress([&](std::uint64_t, std::uint64_t) {
    if (!truncated) {
      std::filesystem::resize_file(path, 1000);
      truncated = true;
    }
  });

  expect_error<std::runtime_error>(
      [&] { client_.put(request_, "", path); },
      "cannot read the file '" + path + "': it ended before 3145728 bytes");
  ASSERT_TRUE(server_.wait_for_requests(1, 10s));
  EXPECT_FALSE(server_.requests()[0].complete);
}

TEST_F(http_file_client, missing_file_or_folder_fails_before_any_network_call) {
  const std::string missing = folder_.file("nothing.zip");
  expect_error<std::runtime_error>([&] { client_.put(request_, "", missing); },
                                   "file: '" + missing + "' not found.");
  const std::string folder = folder_.file("");
  expect_error<std::runtime_error>([&] { client_.put(request_, "", folder); },
                                   "not a regular file: " + folder);
  EXPECT_TRUE(server_.requests().empty());
}

}  // namespace
