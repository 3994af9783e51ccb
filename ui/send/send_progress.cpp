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

std::uint32_t remaining_time_estimate::estimate(unsigned sent, unsigned total, std::uint32_t now,
                                                std::uint32_t forwarding) {
  const std::uint32_t rate_part = by_rate(sent, total, now);
  // A proxy's wait is no estimate of the time while bytes still leave.
  return sent < total ? rate_part : forwarding;
}

std::uint32_t remaining_time_estimate::by_rate(unsigned sent, unsigned total, std::uint32_t now) {
  if (start_tick_ == 0) {
    start_tick_ = now;
    return 0;
  }
  const std::uint64_t elapsed = static_cast<std::uint32_t>(now - start_tick_);
  if (sent >= total) {
    // All sent: nothing remains (more than the total would wrap below zero).
    start_tick_ = 0;
    return 0;
  }
  if (sent == 0) {
    return 0;
  }
  return static_cast<std::uint32_t>(elapsed * total / sent - elapsed);
}

}  // namespace parvel
