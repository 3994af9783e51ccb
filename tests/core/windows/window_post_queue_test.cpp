#include "core/windows/window_post_queue.hpp"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/log_capture.hpp"

namespace {

using core::window_post_queue;

// True once the queue's eventfd says calls are waiting (bounded wait).
bool woken(const window_post_queue& queue, std::chrono::milliseconds within) {
  pollfd fd{queue.wake_fd(), POLLIN, 0};
  return ::poll(&fd, 1, static_cast<int>(within.count())) == 1;
}

// Runs the queue as its thread's event loop would until `done` holds.
template <class Done>
void run_until(window_post_queue& queue, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "posted calls never ran";
    if (woken(queue, std::chrono::milliseconds(100)))
      queue.run_pending();
  }
}

TEST(window_post_queue, calls_run_in_posting_order_across_windows) {
  window_post_queue queue;
  const auto first = window_post_queue::make_liveness();
  const auto second = window_post_queue::make_liveness();
  std::string trace;
  EXPECT_FALSE(woken(queue, std::chrono::milliseconds(0)));
  for (const char* step : {"a1", "b1", "a2", "b2", "a3"}) {
    const auto& window = step[0] == 'a' ? first : second;
    ASSERT_TRUE(queue.post(window, [&trace, step] { trace += step; }));
  }
  ASSERT_TRUE(woken(queue, std::chrono::milliseconds(0)));
  EXPECT_EQ(queue.run_pending(), 5u);
  EXPECT_EQ(trace, "a1b1a2b2a3");
  EXPECT_FALSE(woken(queue, std::chrono::milliseconds(0)));
}

TEST(window_post_queue, call_posted_by_a_running_call_waits_for_the_next_wake) {
  window_post_queue queue;
  const auto window = window_post_queue::make_liveness();
  std::string trace;
  queue.post(window, [&] {
    trace += "outer ";
    queue.post(window, [&] { trace += "inner"; });
  });
  EXPECT_EQ(queue.run_pending(), 1u);
  EXPECT_EQ(trace, "outer ");
  ASSERT_TRUE(woken(queue, std::chrono::milliseconds(0)));
  EXPECT_EQ(queue.run_pending(), 1u);
  EXPECT_EQ(trace, "outer inner");
}

TEST(window_post_queue, calls_of_a_retired_window_are_freed_and_never_run) {
  window_post_queue queue;
  auto gone = window_post_queue::make_liveness();
  const auto stays = window_post_queue::make_liveness();
  const window_post_queue::token gone_token = gone;
  const auto captured = std::make_shared<int>(7);
  bool ran_gone = false;
  bool ran_stays = false;
  queue.post(gone_token, [captured, &ran_gone] { ran_gone = true; });
  queue.post(stays, [&ran_stays] { ran_stays = true; });
  ASSERT_EQ(captured.use_count(), 2);

  queue.retire(gone);
  EXPECT_EQ(gone, nullptr);
  EXPECT_EQ(captured.use_count(), 1) << "the call's copies outlived its window";
  EXPECT_FALSE(queue.post(gone_token, [captured, &ran_gone] { ran_gone = true; }));
  EXPECT_EQ(captured.use_count(), 1) << "a refused call was kept";

  EXPECT_EQ(queue.run_pending(), 1u);
  EXPECT_FALSE(ran_gone);
  EXPECT_TRUE(ran_stays);
}

TEST(window_post_queue, a_window_retired_by_a_running_call_loses_its_later_calls) {
  window_post_queue queue;
  auto page = window_post_queue::make_liveness();
  const auto canvas = window_post_queue::make_liveness();
  const window_post_queue::token page_token = page;
  std::string trace;
  queue.post(canvas, [&] {
    trace += "release ";
    queue.retire(page);
  });
  queue.post(page_token, [&] { trace += "page"; });
  EXPECT_EQ(queue.run_pending(), 1u);
  EXPECT_EQ(trace, "release ");
}

TEST(window_post_queue, a_throwing_call_is_logged_and_the_rest_still_run) {
  const test_support::log_capture log;
  window_post_queue queue;
  const auto window = window_post_queue::make_liveness();
  std::string trace;
  queue.post(window, [] { throw std::runtime_error("disk full"); });
  queue.post(window, [&] { trace += "next"; });
  EXPECT_EQ(queue.run_pending(), 2u);
  EXPECT_EQ(trace, "next");
  EXPECT_NE(log.text().find("cannot run a posted call: disk full"), std::string::npos)
      << log.text();
}

// Each row posts calls of the given kinds (0: plain) to window a or b, in
// order, each call recording its label; the row says what runs.
TEST(window_post_queue, replacing_posts_coalesce_only_while_last_for_their_window) {
  struct post_step {
    char window;
    int kind;
    const char* label;
  };
  struct row {
    const char* name;
    std::vector<post_step> posts;
    std::string runs;
  };
  const std::vector<row> rows = {
      {"a burst keeps the newest value in the first one's turn",
       {{'a', 0, "s "}, {'a', 1, "p1 "}, {'a', 1, "p2 "}, {'a', 1, "p3 "}, {'a', 0, "e "}},
       "s p3 e "},
      {"a plain call after progress closes it",
       {{'a', 1, "p1 "}, {'a', 0, "x "}, {'a', 1, "p2 "}},
       "p1 x p2 "},
      {"another window's calls do not close it",
       {{'a', 1, "p1 "}, {'b', 0, "x "}, {'a', 1, "p2 "}},
       "p2 x "},
      {"another kind closes it",
       {{'a', 1, "p1 "}, {'a', 2, "q1 "}, {'a', 1, "p2 "}, {'a', 2, "q2 "}},
       "p1 q1 p2 q2 "},
      {"each window coalesces on its own",
       {{'a', 1, "a1 "}, {'b', 1, "b1 "}, {'a', 1, "a2 "}, {'b', 1, "b2 "}},
       "a2 b2 "},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    window_post_queue queue;
    const auto a = window_post_queue::make_liveness();
    const auto b = window_post_queue::make_liveness();
    std::string trace;
    for (const auto& step : r.posts) {
      const auto& window = step.window == 'a' ? a : b;
      const auto call = [&trace, label = step.label] { trace += label; };
      ASSERT_TRUE(step.kind == 0 ? queue.post(window, call)
                                 : queue.post_replacing(window, step.kind, call));
    }
    queue.run_pending();
    EXPECT_EQ(trace, r.runs);
  }
}

TEST(window_post_queue, many_threads_posting_lose_nothing_and_keep_each_ones_order) {
  constexpr int threads = 8;
  constexpr int posts_each = 2000;
  window_post_queue queue;
  const auto first = window_post_queue::make_liveness();
  const auto second = window_post_queue::make_liveness();
  // Only the running thread touches these.
  std::map<int, std::vector<int>> seen;
  int total = 0;

  std::vector<std::jthread> posters;
  for (int t = 0; t < threads; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < posts_each; ++i) {
        queue.post(i % 2 == 0 ? first : second, [&seen, &total, t, i] {
          seen[t].push_back(i);
          ++total;
        });
      }
    });
  }
  run_until(queue, [&] { return total == threads * posts_each; });
  posters.clear();

  for (int t = 0; t < threads; ++t) {
    SCOPED_TRACE(t);
    ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(posts_each));
    for (int i = 0; i < posts_each; ++i)
      ASSERT_EQ(seen[t][i], i);
  }
  EXPECT_EQ(queue.run_pending(), 0u);
}

TEST(window_post_queue, retiring_while_threads_post_frees_every_late_call) {
  window_post_queue queue;
  auto window = window_post_queue::make_liveness();
  const window_post_queue::token token = window;
  const auto captured = std::make_shared<int>(0);
  std::atomic<int> refused{0};
  std::vector<std::jthread> posters;
  for (int t = 0; t < 4; ++t) {
    posters.emplace_back([&] {
      while (queue.post(token, [captured] { ++*captured; })) {
      }
      ++refused;
    });
  }
  run_until(queue, [&] { return *captured >= 100; });
  queue.retire(window);
  posters.clear();
  EXPECT_EQ(refused, 4);
  const int ran = *captured;
  EXPECT_EQ(queue.run_pending(), 0u);
  EXPECT_EQ(*captured, ran);
  EXPECT_EQ(captured.use_count(), 1);
}

}  // namespace
