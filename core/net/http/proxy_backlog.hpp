#pragma once

#include <chrono>
#include <cstdint>
#include <limits>

namespace core::net::http {

// What a proxy may still hold of a request body, and how long it may still be
// forwarding it. The client sees its socket drain into the proxy, not the
// proxy's uplink, which may be far slower: the proxy is taken to forward at
// least `slowest_uplink` bytes a second whenever it holds any of the body, so
// it holds at most what it took beyond that pace, as a queue served at that
// pace would. However the samples come, that is never more than the bytes
// taken: the time is bounded by the body's size at that pace.
class proxy_backlog {
 public:
  using duration = std::chrono::steady_clock::duration;

  // Beyond the time any body takes at any pace, and far enough from the
  // clock's end that the caller's own waits can be added to it.
  static constexpr std::chrono::milliseconds longest{std::numeric_limits<std::int64_t>::max() / 4};

  // slowest_uplink: in bytes a second (1 to 10^9); earlier: what the proxy
  // holds from before when the request starts, forwarded ahead of its body.
  explicit proxy_backlog(std::uint64_t slowest_uplink, std::uint64_t earlier = 0);

  // The proxy has taken `bytes` of the body in all, `since` the request
  // started. Calls come in time order with growing counts; a time earlier
  // than one seen counts as that one, a count below one seen as that one.
  void taken(duration since, std::uint64_t bytes);

  // How long after `at` (since the request started) the proxy may still be
  // forwarding: what it may hold then, at the slowest pace. At most longest.
  std::chrono::milliseconds forwarding_time(duration at) const;

  // What the proxy may hold at `at`.
  std::uint64_t held_at(duration at) const;

 private:
  std::uint64_t pace_;
  duration per_byte_;
  // The time up to which the pace has been counted into held_.
  duration counted_ = duration::zero();
  std::uint64_t taken_ = 0;
  std::uint64_t held_ = 0;
};

}  // namespace core::net::http
