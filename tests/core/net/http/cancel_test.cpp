#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "core/net/http/call_canceled.hpp"
#include "core/net/http/client.hpp"
#include "tests/core/net/http/http_test_support.hpp"
#include "tests/core/net/http/silent_peers.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"
#include "tools/service/server.hpp"

namespace {

using namespace std::chrono_literals;
using core::net::http::basic_client;
using core::net::http::basic_file_client;
using core::net::http::basic_file_request;
using core::net::http::basic_request;
using core::net::http::call_canceled;
using core::net::http::progress_callback;
using http_test::pattern;
using http_test::silent_listener;
using std::chrono::steady_clock;

constexpr auto wait_limit = 10s;
using calls = http_test::progress_calls;

// Cancels a client from a thread of its own as soon as progress call number
// at_call arrives, holding that call until the cancel has been made.
class canceller {
 public:
  explicit canceller(basic_client& client, std::size_t at_call = 1)
      : at_call_(at_call), thread_([this, &client] {
          std::unique_lock lock(mutex_);
          if (changed_.wait_for(lock, wait_limit, [&] { return calls_.size() >= at_call_; })) {
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
      if (calls_.size() == at_call_) {
        changed_.notify_all();
        changed_.wait_for(lock, wait_limit, [&] { return cancelled_; });
      }
    };
  }

  calls seen() {
    const std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::size_t at_call_;
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
  basic_file_client client_;
};

struct upload_cancel_case {
  const char* name;
  bool from_file;
  std::size_t size;
  // The progress call the cancel comes in.
  std::size_t at_call;
};

class http_client_cancel_mid_upload : public http_client_cancel,
                                      public testing::WithParamInterface<upload_cancel_case> {};

// The body is taken from its source several pieces at a time, and progress
// follows the pieces out of the socket: the pieces handed over by the cancel
// go out whole, whatever was taken past them does not.
TEST_P(http_client_cancel_mid_upload, stops_after_the_piece_under_way) {
  const auto& c = GetParam();
  const std::string body = pattern(c.size);
  test_support::temp_folder folder;
  const std::string path = folder.file("archive.zip");
  test_support::write_file(path, body);
  {
    canceller cancelling(client_, c.at_call);
    client_.set_upload_progress(cancelling.on_progress());
    basic_file_request request(server_.base_url() + "/upload", {}, "");

    test_support::expect_error<call_canceled>(
        [&] {
          if (c.from_file) {
            client_.put(request, "application/octet-stream", path);
          } else {
            client_.basic_client::put(request, body, "application/octet-stream");
          }
        },
        "WinHTTP close pending....");
    calls expected = http_test::pieces(c.size);
    expected.resize(c.at_call);
    EXPECT_EQ(cancelling.seen(), expected);
  }
  ASSERT_TRUE(server_.wait_for_requests(1, wait_limit));
  const auto received = server_.requests()[0];
  EXPECT_GE(received.body_size, c.at_call * 16384);
  EXPECT_TRUE(received.body_size % 16384 == 0 || received.body_size == c.size);
  EXPECT_TRUE(received.body == body.substr(0, received.body_size))
      << "the pieces handed over went out whole";
  expect_next_call_works();
}

INSTANTIATE_TEST_SUITE_P(
    bodies, http_client_cancel_mid_upload,
    testing::Values(upload_cancel_case{"memory_first_piece", false, 40000, 1},
                    upload_cancel_case{"memory_inside_a_buffer", false, 200000, 2},
                    upload_cancel_case{"file_first_piece", true, 200000, 1},
                    upload_cancel_case{"file_inside_a_buffer", true, 200000, 3},
                    upload_cancel_case{"file_at_the_end_of_a_buffer", true, 200000, 4},
                    upload_cancel_case{"file_in_a_later_buffer", true, 200000, 6}),
    test_support::row_name());

TEST_F(http_client_cancel, from_another_thread_mid_download_stops_after_the_read) {
  {
    canceller cancelling(client_);
    client_.set_download_progress(cancelling.on_progress());
    basic_request request(server_.base_url() + "/large", {});

    test_support::expect_error<call_canceled>(
        [&] {
          try {
            client_.get(request);
          } catch (const call_canceled& e) {
            // The answer's head had arrived: the peer has acted on the request.
            EXPECT_EQ(e.arrived().status, 200);
            throw;
          }
        },
        "WinHTTP close pending....");
    EXPECT_EQ(cancelling.seen().size(), 1u);
  }
  expect_next_call_works();
}

// Where a call hangs until its time-out unless a cancel ends it.
enum class hang {
  service_silent_before_answering,
  tls_handshake_unanswered,
  tcp_handshake_unanswered
};

struct hang_case {
  const char* name;
  hang where;
};

class http_client_cancel_while_waiting : public http_client_cancel,
                                         public testing::WithParamInterface<hang_case> {};

TEST_P(http_client_cancel_while_waiting, ends_the_call_promptly) {
  // Long enough that a cancel that waited for them would show.
  const http_test::short_timeouts timeouts(20s, 20s);
  std::optional<silent_listener> silent;
  std::string url;
  std::function<bool()> stuck;
  if (GetParam().where == hang::service_silent_before_answering) {
    server_.add_route("GET", "/silent", {.delay = 20s});
    url = server_.base_url() + "/silent";
    stuck = [&] { return !server_.requests().empty(); };
  } else {
    silent.emplace(GetParam().where == hang::tcp_handshake_unanswered
                       ? silent_listener::backlog::full
                       : silent_listener::backlog::open);
    url = "https://127.0.0.1:" + std::to_string(silent->port()) + "/feed.xml";
    stuck = [&] { return silent->has_caller(); };
  }
  bool was_stuck = false;
  steady_clock::time_point cancelled;
  std::thread cancelling([&] {
    const auto deadline = steady_clock::now() + wait_limit;
    while (!(was_stuck = stuck()) && steady_clock::now() < deadline) {
      std::this_thread::sleep_for(5ms);
    }
    cancelled = steady_clock::now();
    client_.cancel();
  });
  basic_request request(url, {});

  test_support::expect_error<call_canceled>([&] { client_.get(request); },
                                            "WinHTTP close pending....");
  const auto ended = steady_clock::now();
  cancelling.join();

  EXPECT_TRUE(was_stuck) << "the call never reached its wait";
  const auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(ended - cancelled);
  RecordProperty("cancel_latency_ms", std::to_string(latency.count()));
  EXPECT_LT(latency, 3s);
  expect_next_call_works();
}

INSTANTIATE_TEST_SUITE_P(
    waits, http_client_cancel_while_waiting,
    testing::Values(hang_case{"service_silent_before_answering",
                              hang::service_silent_before_answering},
                    hang_case{"tls_handshake_unanswered", hang::tls_handshake_unanswered},
                    hang_case{"tcp_handshake_unanswered", hang::tcp_handshake_unanswered}),
    test_support::row_name());

}  // namespace
