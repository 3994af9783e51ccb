#include "core/net/http/proxy_backlog.hpp"

#include <algorithm>

namespace core::net::http {

namespace {

// A pace's bounds: a byte's time is then a whole number of the clock's ticks
// (one at most), and a byte count times 1000 cannot overflow within one second's share.
constexpr std::uint64_t fastest_pace = 1000000000;

}  // namespace

proxy_backlog::proxy_backlog(std::uint64_t slowest_uplink, std::uint64_t earlier)
    : pace_(std::clamp<std::uint64_t>(slowest_uplink, 1, fastest_pace)),
      per_byte_(std::chrono::duration_cast<duration>(std::chrono::seconds(1)) /
                static_cast<duration::rep>(pace_)),
      held_(earlier) {}

std::uint64_t proxy_backlog::held_at(duration at) const {
  if (at <= counted_) {
    return held_;
  }
  const auto forwarded = static_cast<std::uint64_t>((at - counted_) / per_byte_);
  return forwarded >= held_ ? 0 : held_ - forwarded;
}

void proxy_backlog::taken(duration since, std::uint64_t bytes) {
  if (since > counted_) {
    const auto forwarded = static_cast<std::uint64_t>((since - counted_) / per_byte_);
    if (forwarded >= held_) {
      // An idle uplink saves no time for later bytes.
      held_ = 0;
      counted_ = since;
    } else {
      // The part of a byte's time already gone still counts.
      held_ -= forwarded;
      counted_ += per_byte_ * static_cast<duration::rep>(forwarded);
    }
  }
  if (bytes > taken_) {
    // Never past bytes: held_ is at most taken_.
    held_ += bytes - taken_;
    taken_ = bytes;
  }
}

std::chrono::milliseconds proxy_backlog::forwarding_time(duration at) const {
  const std::uint64_t held = held_at(at);
  // held * 1000 / pace, rounded up, without the product of held.
  const std::uint64_t whole_seconds = held / pace_;
  const std::uint64_t rest = held % pace_;
  constexpr auto most = static_cast<std::uint64_t>(longest.count());
  if (whole_seconds >= most / 1000) {
    return longest;
  }
  const std::uint64_t ms = whole_seconds * 1000 + (rest * 1000 + pace_ - 1) / pace_;
  return std::min(longest, std::chrono::milliseconds(static_cast<std::int64_t>(ms)));
}

}  // namespace core::net::http
