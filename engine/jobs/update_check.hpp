#pragma once

#include <boost/signals2/signal.hpp>

#include "core/threading/async_req.hpp"
#include "core/update/update_enclosure.hpp"
#include "engine/jobs/update_fetch.hpp"

namespace parvel {

// Fetches the update feed, chooses the package offered for "X86" and tells
// whether it is newer than the installed version of the settings. Ends with
// exactly one of succeeded (also when the offer is not newer) or failed.
// Downloads nothing itself.
class update_check : public core::threading::async_req {
 public:
  update_check() : async_req("update_check") {}

  boost::signals2::signal<void(bool newer, const core::update::update_enclosure&)> signal_succeeded;
  boost::signals2::signal<void()> signal_failed;

  void run() override;
  // Any thread; the check then fails.
  void cancel() override { feed_.cancel(); }

 private:
  core::update::update_enclosure fetch_enclosure();

  update_fetch feed_{"manifest"};
};

}  // namespace parvel
