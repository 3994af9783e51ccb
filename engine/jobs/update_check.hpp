#pragma once

#include <boost/signals2/signal.hpp>

#include "core/update/update_enclosure.hpp"
#include "engine/jobs/cancellable_job.hpp"
#include "engine/jobs/update_fetch.hpp"

namespace parvel {

// Fetches the update feed, chooses the package offered for "X86" and tells
// whether it is newer than the installed version of the settings. Ends with
// exactly one of succeeded (also when the offer is not newer) or failed.
// Downloads nothing itself.
class update_check : public cancellable_job {
 public:
  update_check() : cancellable_job("update_check") {}

  boost::signals2::signal<void(bool newer, const core::update::update_enclosure&)> signal_succeeded;
  boost::signals2::signal<void()> signal_failed;

  void run() override;

 private:
  // A cancel makes the run fail.
  void abort_work() noexcept override { feed_.cancel(); }
  core::update::update_enclosure fetch_enclosure();

  update_fetch feed_{"manifest"};
};

}  // namespace parvel
