#include "core/net/http/proxy_backlog.hpp"

#include <cmath>

namespace core::net::http {

namespace {

// Samples kept before every other one is dropped and the spacing doubled.
constexpr std::size_t sample_limit = 1024;
// The shortest final stretch whose pace counts: bytes come out of a full
// proxy in bursts, as its uplink frees room, so shorter ones say little.
constexpr std::chrono::seconds shortest_stretch(1);

}  // namespace

void proxy_backlog::taken(duration since, std::uint64_t bytes) {
  if (samples_.size() >= 2 && since - samples_[samples_.size() - 2].since < spacing_) {
    samples_.back() = {since, bytes};
    return;
  }
  if (samples_.size() == sample_limit) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < samples_.size(); i += 2) {
      samples_[kept++] = samples_[i];
    }
    samples_.resize(kept);
    spacing_ *= 2;
  }
  samples_.push_back({since, bytes});
}

std::optional<std::chrono::milliseconds> proxy_backlog::forwarding_time() const {
  if (samples_.empty()) {
    return std::nullopt;
  }
  using seconds = std::chrono::duration<double>;
  const sample& last = samples_.back();
  // The drain's start counts as a sample of nothing taken.
  std::optional<double> pace;
  const auto consider = [&](duration since, std::uint64_t bytes) {
    const double span = seconds(last.since - since).count();
    if (span >= seconds(shortest_stretch).count() && last.bytes > bytes) {
      const double rate = static_cast<double>(last.bytes - bytes) / span;
      pace = pace ? std::min(*pace, rate) : rate;
    }
  };
  consider(duration::zero(), 0);
  for (const sample& earlier : samples_) {
    consider(earlier.since, earlier.bytes);
  }
  if (!pace) {
    return std::nullopt;
  }
  const double forwarded = *pace * seconds(last.since).count();
  const double held = std::max(static_cast<double>(last.bytes) - forwarded, 0.0);
  return std::chrono::milliseconds(static_cast<std::int64_t>(std::ceil(held / *pace * 1000)));
}

}  // namespace core::net::http
