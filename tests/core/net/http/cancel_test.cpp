#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/net/http/client.hpp"
#include "tests/core/net/http/http_test_support.hpp"
#include "tests/support/expect_error.hpp"
#include "tools/service/server.hpp"

namespace {

using namespace std::chrono_literals;
using core::net::http::basic_client;
using core::net::http::basic_request;
using core::net::http::progress_callback;
using http_test::pattern;

constexpr auto wait_limit = 10s;
using calls = http_test::progress_calls;

// Cancels a client from a thread of its own as soon as the first progress
// call arrives, holding that call until the cancel has been made.
class canceller {
 public:
  explicit canceller(basic_client& client)
      : thread_([this, &client] {
          std::unique_lock lock(mutex_);
          if (changed_.wait_for(lock, wait_limit, [&] { return !calls_.empty(); })) {
            client.cancel();
            cancelled_ = true;
            changed_.notify_all();
          }
        }) {}
  ~canceller() { thread_.join(); }

  progress_callback on_progress() {
    return [this](std::uint64_t done, std::uint64_t total) {
      std::unique_lock lock(mutex_);
      calls_.emplace_back(done, total);
      changed_.notify_all();
      changed_.wait_for(lock, wait_limit, [&] { return cancelled_; });
    };
  }

  calls seen() {
    const std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  calls calls_;
  bool cancelled_ = false;
  std::thread thread_;
};

class http_client_cancel : public testing::Test {
 protected:
  void SetUp() override {
    server_.add_route("", "/upload", service::reply{});
    server_.add_route("GET", "/large", {.body = pattern(200000)});
  }

  void expect_next_call_works() {
    client_.set_upload_progress({});
    client_.set_download_progress({});
    basic_request request(server_.base_url() + "/large", {});
    EXPECT_EQ(client_.get(request).body.size(), 200000u);
  }

  service::server server_;
  basic_client client_;
};

TEST_F(http_client_cancel, from_another_thread_mid_upload_stops_after_the_piece) {
  {
    canceller cancelling(client_);
    client_.set_upload_progress(cancelling.on_progress());
    basic_request request(server_.base_url() + "/upload", {});

    test_support::expect_error<std::runtime_error>(
        [&] { client_.put(request, pattern(40000), "application/octet-stream"); },
        "WinHTTP close pending....");
    EXPECT_EQ(cancelling.seen(), (calls{{16384, 40000}}));
  }
  ASSERT_TRUE(server_.wait_for_requests(1, wait_limit));
  const auto received = server_.requests()[0];
  EXPECT_FALSE(received.complete);
  EXPECT_EQ(received.body_size, 16384u);
  EXPECT_TRUE(received.body == pattern(16384)) << "the piece under way went out whole";
  expect_next_call_works();
}

TEST_F(http_client_cancel, from_another_thread_mid_download_stops_after_the_read) {
  {
    canceller cancelling(client_);
    client_.set_download_progress(cancelling.on_progress());
    basic_request request(server_.base_url() + "/large", {});

    test_support::expect_error<std::runtime_error>([&] { client_.get(request); },
                                                   "WinHTTP close pending....");
    EXPECT_EQ(cancelling.seen().size(), 1u);
  }
  expect_next_call_works();
}

}  // namespace
