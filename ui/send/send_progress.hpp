#pragma once

#include <QString>
#include <cstdint>
#include <deque>
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

// The remaining upload time from the pace at which the archive left over a
// recent stretch (the later half of the upload so far, five seconds at
// least), on a 32-bit millisecond tick. Not the whole upload: a proxy takes
// a body ahead of its uplink until its buffer is full, and from then on at
// the pace it forwards. Through a proxy, what it may still hold counts at
// that same pace: the bytes sent beyond what that pace has forwarded since
// the clock started. Once the last byte has left, that runs on at the pace
// measured then with every later report through the proxy; without one
// nothing remains then. The first report starts the clock and estimates
// nothing; 0 estimates nothing (the text stays), as when no byte left in
// the window or the proxy should have forwarded all by now.
class remaining_time_estimate {
 public:
  void reset();
  std::uint32_t estimate(unsigned sent, unsigned total, std::uint32_t now,
                         bool through_proxy = false);

 private:
  struct sample {
    std::uint32_t tick;
    unsigned sent;
  };
  // Bytes over milliseconds.
  struct pace {
    std::uint64_t bytes = 0;
    std::uint64_t ms = 0;
  };

  void start(std::uint32_t now);
  pace window_pace(unsigned sent, std::uint32_t now);

  bool started_ = false;
  std::uint32_t start_tick_ = 0;
  // Oldest first, at least a step apart; the first is the window's start.
  std::deque<sample> samples_;
  // Through a proxy once all has left: the pace then.
  std::optional<pace> final_pace_;
};

}  // namespace parvel
