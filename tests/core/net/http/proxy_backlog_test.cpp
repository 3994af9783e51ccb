#include "core/net/http/proxy_backlog.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "tests/support/table.hpp"

namespace {

using namespace std::chrono_literals;
using core::net::http::proxy_backlog;

// A stretch of the drain: the proxy takes `rate` bytes a second for `length`.
struct stretch {
  std::chrono::milliseconds length;
  double rate;
};

struct backlog_case {
  const char* name;
  std::vector<stretch> drain;
  // The proxy's pace and what it held at the end; nullopt: no pace seen.
  std::optional<double> pace;
};

class proxy_backlog_estimate : public testing::TestWithParam<backlog_case> {};

TEST_P(proxy_backlog_estimate, is_what_the_proxy_took_beyond_its_final_pace) {
  const auto& c = GetParam();
  proxy_backlog backlog;
  // A look at the socket every 200 ms, as while a body drains.
  constexpr auto look = 200ms;
  std::chrono::milliseconds since(0);
  double taken = 0;
  for (const stretch& s : c.drain) {
    for (auto left = s.length; left > 0ms; left -= std::min(left, look)) {
      const auto step = std::min(left, look);
      since += step;
      taken += s.rate * std::chrono::duration<double>(step).count();
      backlog.taken(since, static_cast<std::uint64_t>(taken));
    }
  }

  const auto forwarding = backlog.forwarding_time();
  if (!c.pace) {
    EXPECT_FALSE(forwarding);
    return;
  }
  ASSERT_TRUE(forwarding);
  const double held = std::max(taken - *c.pace * std::chrono::duration<double>(since).count(), 0.0);
  const double expected_ms = held / *c.pace * 1000;
  EXPECT_NEAR(static_cast<double>(forwarding->count()), expected_ms, 10 + expected_ms / 100);
}

INSTANTIATE_TEST_SUITE_P(
    drains, proxy_backlog_estimate,
    testing::Values(
        backlog_case{"taken_at_once", {{200ms, 15e6}}, std::nullopt},
        backlog_case{"steady_pace_holds_nothing", {{10s, 100e3}}, 100e3},
        backlog_case{"buffers_filled_then_the_uplinks_pace", {{200ms, 10e6}, {35s, 20e3}}, 20e3},
        backlog_case{
            "slowest_final_stretch_counts", {{200ms, 10e6}, {10s, 100e3}, {5s, 20e3}}, 20e3},
        // Some hundred thousand looks: older samples thin out.
        backlog_case{"hours_of_drain", {{1s, 8e6}, {6h, 1e3}}, 1e3}),
    test_support::row_name());

}  // namespace
