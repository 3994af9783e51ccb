#include "ui/send/send_progress.hpp"

#include <algorithm>
#include <cstdio>

namespace parvel {

std::optional<float> archive_progress(std::uint64_t done, std::uint64_t total) {
  if (total == 0) {
    return std::nullopt;
  }
  return static_cast<float>(std::min(done, total)) / static_cast<float>(total) * 0.5f;
}

std::optional<float> upload_progress(unsigned sent, unsigned total) {
  if (total == 0) {
    return std::nullopt;
  }
  return static_cast<float>(std::min(sent, total)) / static_cast<float>(total) * 0.49f + 0.5f;
}

QString progress_amount_text(unsigned done, unsigned total, const QString& kb) {
  return QStringLiteral("%1 / %2 %3").arg(done / 1024).arg(total / 1024).arg(kb);
}

std::optional<std::string> time_remaining_text(std::uint32_t milliseconds,
                                               const std::string& label) {
  if (milliseconds == 0) {
    return std::nullopt;
  }
  const std::uint32_t hours = milliseconds / 3600000;
  const std::uint32_t minutes = milliseconds % 3600000 / 60000;
  const std::uint32_t seconds = milliseconds % 3600000 % 60000 / 1000;
  char clock[32];
  std::snprintf(clock, sizeof clock, "%02u:%02u:%02u", hours, minutes, seconds);
  return label + " " + clock;
}

namespace {

// The pace is measured over the later half of the upload so far, and over
// at least this long: a proxy's early burst into its buffer soon drops out,
// and a stretch that grows with the upload smooths the pace, which counts
// into what the proxy holds over the whole upload.
constexpr std::uint32_t shortest_window_ms = 5000;
// Samples are kept at least this far apart, and at least a 64th of the
// upload so far: a long upload's many reports would otherwise pile up.
constexpr std::uint32_t sample_step_ms = 250;

// Milliseconds as a tick holds them; longer ones read as the longest.
std::uint32_t on_tick(std::uint64_t ms) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
}

}  // namespace

void remaining_time_estimate::reset() {
  started_ = false;
  samples_.clear();
  final_pace_.reset();
}

void remaining_time_estimate::start(std::uint32_t now) {
  started_ = true;
  start_tick_ = now;
  // The first report's bytes count as sent once the clock runs, as the rate
  // since the start always took them.
  samples_.assign(1, sample{now, 0});
  final_pace_.reset();
}

remaining_time_estimate::pace remaining_time_estimate::window_pace(unsigned sent,
                                                                   std::uint32_t now) {
  const std::uint32_t elapsed = now - start_tick_;
  const std::uint32_t window = std::max(shortest_window_ms, elapsed / 2);
  // The window starts at the newest sample at least its length ago.
  while (samples_.size() >= 2 && static_cast<std::uint32_t>(now - samples_[1].tick) >= window) {
    samples_.pop_front();
  }
  const sample from = samples_.front();
  if (now == samples_.back().tick && now != start_tick_) {
    // The reports of one moment, the pieces one turn of the transfer saw
    // leave, are one sample: a window that started amid them would take the
    // pace for lower than it is.
    samples_.back().sent = sent;
  } else if (static_cast<std::uint32_t>(now - samples_.back().tick) >=
             std::max(sample_step_ms, elapsed / 64)) {
    samples_.push_back({now, sent});
  }
  const std::uint32_t ms = now - from.tick;
  return ms == 0 ? pace{} : pace{sent - from.sent, ms};
}

std::uint32_t remaining_time_estimate::estimate(unsigned sent, unsigned total, std::uint32_t now,
                                                bool through_proxy) {
  const bool all_sent = sent >= total;
  sent = std::min(sent, total);
  // A body that starts again (a later upload, a retry) starts the clock again.
  if (!started_ || sent < samples_.back().sent || (final_pace_ && !all_sent)) {
    start(now);
    return 0;
  }
  if (all_sent && !through_proxy) {
    // Nothing remains once all has left the machine.
    reset();
    return 0;
  }
  if (all_sent && !final_pace_) {
    final_pace_ = window_pace(sent, now);
  }
  const pace at = all_sent ? *final_pace_ : window_pace(sent, now);
  if (at.bytes == 0) {
    return 0;
  }
  const std::uint64_t rest = (std::uint64_t{total} - sent) * at.ms / at.bytes;
  if (!through_proxy) {
    return on_tick(rest);
  }
  // The proxy's uplink, forwarding at this pace since the clock started,
  // is through with the whole body at all_through: what it holds comes
  // before the rest.
  const std::uint64_t elapsed = static_cast<std::uint32_t>(now - start_tick_);
  const std::uint64_t all_through = std::uint64_t{total} * at.ms / at.bytes;
  return on_tick(std::max(rest, all_through > elapsed ? all_through - elapsed : 0));
}

}  // namespace parvel
