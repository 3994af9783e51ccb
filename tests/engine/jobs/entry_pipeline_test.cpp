#include "engine/jobs/entry_pipeline.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

#include "tests/support/expect_error.hpp"

namespace {

using entry = parvel::entry_pipeline::entry;
constexpr auto patience = std::chrono::seconds(30);

// What the preparations in flight hold, as they run.
struct flight_log {
  // Lingers a little for company, so that whatever the bounds let run
  // together does.
  void begin(std::size_t index) {
    std::unique_lock lock(mutex);
    ++running;
    bytes += costs[index];
    most_running = std::max(most_running, running);
    most_bytes = std::max(most_bytes, bytes);
    if (costs[index] > 100 && running > 1) {
      oversized_shared = true;
    }
    changed.notify_all();
    changed.wait_for(lock, std::chrono::milliseconds(20), [&] { return running >= 3; });
  }
  void end(std::size_t index) {
    std::lock_guard lock(mutex);
    --running;
    bytes -= costs[index];
  }

  const std::vector<std::uint64_t>& costs;
  std::mutex mutex;
  std::condition_variable changed;
  int running = 0, most_running = 0;
  std::uint64_t bytes = 0, most_bytes = 0;
  bool oversized_shared = false;
};

TEST(entry_pipeline, hands_entries_over_in_order_within_the_worker_and_byte_bounds) {
  const std::vector<std::uint64_t> costs{30, 0, 50, 20, 40, 0, 150, 10, 60, 30, 30, 20};
  flight_log log{costs};
  parvel::entry_pipeline pipeline(
      costs, 3, 100, [&](std::size_t index, const std::atomic<bool>&) -> std::optional<entry> {
        log.begin(index);
        entry prepared;
        prepared.compressed = {"entry " + std::to_string(index), 0, 0, 0};
        log.end(index);
        return index == 9 ? std::nullopt : std::optional<entry>(std::move(prepared));
      });
  for (std::size_t i = 0; i < costs.size(); ++i) {
    const std::optional<entry> taken = pipeline.take(i);
    if (costs[i] == 0 || i == 9) {
      EXPECT_FALSE(taken) << i << " is the writer's own";
      continue;
    }
    ASSERT_TRUE(taken) << i;
    EXPECT_EQ(taken->compressed->data, "entry " + std::to_string(i));
    pipeline.release(i);
  }
  EXPECT_LE(log.most_running, 3);
  EXPECT_LE(log.most_bytes, 150u);
  EXPECT_FALSE(log.oversized_shared) << "an item over the budget runs alone";
}

TEST(entry_pipeline, the_first_failure_in_item_order_reaches_the_writer) {
  std::mutex mutex;
  std::condition_variable changed;
  bool later_failed = false;
  parvel::entry_pipeline pipeline(
      std::vector<std::uint64_t>(6, 1), 3, 100,
      [&](std::size_t index, const std::atomic<bool>&) -> std::optional<entry> {
        if (index == 1) {  // fails only after item 3 has failed
          std::unique_lock lock(mutex);
          changed.wait_for(lock, patience, [&] { return later_failed; });
          throw std::runtime_error("item 1");
        }
        if (index == 3) {
          {
            std::lock_guard lock(mutex);
            later_failed = true;
          }
          changed.notify_all();
          throw std::invalid_argument("item 3");
        }
        return entry{};
      });
  EXPECT_TRUE(pipeline.take(0));
  pipeline.release(0);
  test_support::expect_error<std::runtime_error>([&] { pipeline.take(1); }, "item 1");
}

}  // namespace
