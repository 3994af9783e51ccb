#include "core/net/http/proxy_backlog.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "tests/support/table.hpp"

namespace {

using namespace std::chrono_literals;
using core::net::http::proxy_backlog;
using duration = proxy_backlog::duration;

// 32 kbit/s: four bytes a millisecond.
constexpr std::uint64_t slowest_uplink = 4000;

struct sample {
  duration since;
  std::uint64_t bytes;
};

// A stretch of the drain: the proxy takes `rate` bytes a second for `length`.
struct stretch {
  std::chrono::milliseconds length;
  double rate;
};

// The samples of a drain looked at every 200 ms, as while a body drains.
std::vector<sample> looks(const std::vector<stretch>& drain) {
  constexpr auto look = 200ms;
  std::vector<sample> samples;
  duration since(0);
  double taken = 0;
  for (const stretch& s : drain) {
    for (auto left = s.length; left > 0ms; left -= std::min(left, look)) {
      const auto step = std::min(left, look);
      since += step;
      taken += s.rate * std::chrono::duration<double>(step).count();
      samples.push_back({since, static_cast<std::uint64_t>(taken)});
    }
  }
  return samples;
}

struct backlog_case {
  const char* name;
  std::vector<sample> samples;
  // After the last sample: what was taken beyond the slowest pace, at that
  // pace, each sample's bytes taken as they were seen.
  std::chrono::milliseconds forwarding;
};

class proxy_backlog_estimate : public testing::TestWithParam<backlog_case> {};

TEST_P(proxy_backlog_estimate, is_what_the_proxy_took_beyond_the_slowest_pace) {
  const auto& c = GetParam();
  proxy_backlog backlog(slowest_uplink);
  for (const sample& s : c.samples) {
    backlog.taken(s.since, s.bytes);
  }
  EXPECT_EQ(backlog.forwarding_time(c.samples.back().since), c.forwarding);
}

constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    drains, proxy_backlog_estimate,
    testing::Values(
        backlog_case{"taken_at_once", looks({{200ms, 15e6}}), 750000ms},
        backlog_case{"at_the_slowest_pace_one_look_held", looks({{10s, 4000}}), 200ms},
        backlog_case{"slower_than_the_slowest_pace", looks({{10s, 1000}}), 50ms},
        backlog_case{"buffers_filled_then_the_uplinks_pace", looks({{200ms, 10e6}, {35s, 20e3}}),
                     640000ms},
        // Some hundred thousand looks.
        backlog_case{"hours_of_drain", looks({{1s, 8e6}, {6h, 1e3}}), 50ms},
        // A stall then a last packet: the stall's pace says nothing of the uplink.
        backlog_case{"stall_before_the_last_bytes", {{10s, 9000000}, {35s, 9001448}}, 2225362ms},
        backlog_case{"gigabytes_then_three_bytes",
                     {{210ms, 3388997632}, {35800ms, 3388997635}},
                     847213819ms},
        backlog_case{"past_two_to_the_44",
                     {{1s, std::uint64_t{1} << 50}, {2s, (std::uint64_t{1} << 50) + 1}},
                     281474976709657ms},
        backlog_case{"every_byte_count", {{1s, most}}, proxy_backlog::longest},
        backlog_case{"counts_and_times_out_of_order", {{5s, 8000}, {1s, 4000}, {5s, 100}}, 2000ms}),
    test_support::row_name());

// What a queue served at `pace` holds after the last of these arrivals,
// times and counts taken as their running maximum: the most, over each
// arrival, of the bytes from it on beyond what the pace forwards since.
long double queue_bound(const std::vector<sample>& samples, std::uint64_t pace) {
  std::vector<sample> seen;
  for (const sample& s : samples) {
    seen.push_back(seen.empty() ? s
                                : sample{std::max(s.since, seen.back().since),
                                         std::max(s.bytes, seen.back().bytes)});
  }
  const long double last = static_cast<long double>(seen.back().bytes);
  const long double end =
      std::max(0.0L, static_cast<long double>(seen.back().since.count()) / 1e9L);
  long double held = 0;
  std::uint64_t before = 0;
  for (const sample& s : seen) {
    const long double since = std::max(0.0L, static_cast<long double>(s.since.count()) / 1e9L);
    held = std::max(held, last - static_cast<long double>(before) - pace * (end - since));
    before = s.bytes;
  }
  return held;
}

// Random sequences, from steady drains to stalls of days and counts near
// 2^64: the estimate stays within a millisecond of the queue's bound, never
// beyond the time all bytes taken need, and never overflows.
TEST(proxy_backlog, stays_within_the_queue_bound_of_any_samples) {
  std::mt19937_64 random(47);
  const auto pick = [&](std::uint64_t below) { return below == 0 ? 0 : random() % below; };
  for (const std::uint64_t pace : {slowest_uplink, std::uint64_t{500000}}) {
    for (int round = 0; round < 3000; ++round) {
      proxy_backlog backlog(pace);
      std::vector<sample> samples;
      duration since(0);
      duration latest(0);
      std::uint64_t bytes = 0;
      const std::size_t count = 1 + pick(40);
      for (std::size_t i = 0; i < count; ++i) {
        switch (pick(6)) {
          case 0:
            since += std::chrono::nanoseconds(pick(1000000));
            break;
          case 1:
            since += std::chrono::milliseconds(pick(400));
            break;
          case 2:
            since += std::chrono::seconds(pick(100000));
            break;
          case 3:
            since -= std::chrono::milliseconds(pick(1000));
            break;
          default:
            since += std::chrono::milliseconds(200);
            break;
        }
        switch (pick(5)) {
          case 0:
            bytes += pick(1 << 20);
            break;
          case 1:
            bytes = bytes + pick(most - bytes) / (1 + pick(1 << 20));
            break;
          case 2:
            bytes -= std::min(bytes, pick(4096));
            break;
          default:
            bytes += pick(20000);
            break;
        }
        samples.push_back({since, bytes});
        backlog.taken(since, bytes);
        latest = std::max(latest, since);
      }
      SCOPED_TRACE(testing::Message() << "pace " << pace << ", round " << round);
      const duration at = latest + std::chrono::milliseconds(pick(2) * pick(600000));
      samples.push_back({at, 0});
      const long double held = queue_bound(samples, pace);
      const long double expected = std::min(
          std::ceil(held * 1000 / pace), static_cast<long double>(proxy_backlog::longest.count()));
      const auto forwarding = backlog.forwarding_time(at);
      ASSERT_LE(std::fabs(static_cast<long double>(forwarding.count()) - expected), 1.0L);
      ASSERT_LE(forwarding, proxy_backlog::longest);
    }
  }
}

}  // namespace
