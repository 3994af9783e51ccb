#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace parvel {

// The bar covers archiving in its first half and uploading from 0.5 to 0.99;
// only a success fills it. nullopt when the total is 0 (nothing to show);
// counts beyond their total count as the total, so no report before the
// success reaches 100 %.
std::optional<float> archive_progress(std::uint64_t done, std::uint64_t total);
std::optional<float> upload_progress(unsigned sent, unsigned total);

// "512 / 2048 Kb": both byte counts in whole KiB, then the localized unit.
// The send and the update pages show their transfers so.
QString progress_amount_text(unsigned done, unsigned total, const QString& kb);

// "Time Remaining: 00:04:07" for 247,000 ms; hours take more digits when
// needed. nullopt for 0, which leaves the shown text as it is.
std::optional<std::string> time_remaining_text(std::uint32_t milliseconds,
                                               const std::string& label);

// The remaining upload time: while bytes still leave, from the rate so far,
// on a 32-bit millisecond tick; once all have left, the time a proxy may
// still be forwarding them (forwarding, milliseconds), which runs down as the
// answer is awaited. Of the rate, the first report starts the clock and
// estimates nothing; the last one (all sent) stops it.
class remaining_time_estimate {
 public:
  void reset() { start_tick_ = 0; }
  std::uint32_t estimate(unsigned sent, unsigned total, std::uint32_t now,
                         std::uint32_t forwarding = 0);

 private:
  std::uint32_t by_rate(unsigned sent, unsigned total, std::uint32_t now);

  std::uint32_t start_tick_ = 0;  // 0: not started
};

}  // namespace parvel
