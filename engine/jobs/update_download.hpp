#pragma once

#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <string>

#include "engine/jobs/cancellable_job.hpp"
#include "engine/jobs/update_fetch.hpp"

namespace parvel {

// Fetches the installer at an https address into the installer folder, under
// the last element of the address's path. It is written to a temporary file
// as it arrives, which becomes the installer only once the answer has shown
// it whole: a length the answer declares (Content-Length or chunks), and the
// feed's length when it gives one. The file appears whole or not at all,
// replacing an older one of that name (never following a link there). Ends
// with exactly one of succeeded (the saved path) or failed; a cancel that
// comes before succeeded makes it failed, with no file left.
class update_download : public cancellable_job {
 public:
  // length: the installer's size as the feed gives it; 0 when it gives none.
  explicit update_download(std::string url, std::uint64_t length = 0)
      : cancellable_job("update_download"), url_(std::move(url)), length_(length) {}

  boost::signals2::signal<void(const std::string& path)> signal_succeeded;
  // Bytes of the body so far and the announced total (0 when unknown).
  boost::signals2::signal<void(unsigned received, unsigned total)> signal_progress;
  boost::signals2::signal<void()> signal_failed;

  void run() override;

 private:
  void abort_work() noexcept override { fetch_.cancel(); }
  std::string download();

  // The installer goes to its file as it comes: only the stall floor bounds
  // its download, however long it is.
  update_fetch fetch_{"package", core::net::http::default_body_limit,
                      core::net::http::answer_wait::stall_floor};
  const std::string url_;
  const std::uint64_t length_;
};

}  // namespace parvel
