#pragma once

#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <string>

#include "engine/jobs/cancellable_job.hpp"
#include "engine/jobs/update_fetch.hpp"

namespace parvel {

// Fetches the installer at an https address into the private temporary
// folder, under the last element of the address's path. The file appears
// whole or not at all, replacing an older one of that name (never following
// a link there). Ends with exactly one of succeeded (the saved path) or failed.
class update_download : public cancellable_job {
 public:
  explicit update_download(std::string url)
      : cancellable_job("update_download"), url_(std::move(url)) {}

  boost::signals2::signal<void(const std::string& path)> signal_succeeded;
  // Bytes of the body so far and the announced total (0 when unknown).
  boost::signals2::signal<void(unsigned received, unsigned total)> signal_progress;
  boost::signals2::signal<void()> signal_failed;

  void run() override;

 private:
  // A cancel makes the run fail.
  void abort_work() noexcept override { fetch_.cancel(); }
  std::string download();

  // The installer is held in memory before it is saved. It is the answer
  // itself, megabytes long: only the stall floor bounds its download.
  update_fetch fetch_{"package", std::uint64_t{1} << 30, core::net::http::answer_wait::stall_floor};
  const std::string url_;
};

}  // namespace parvel
