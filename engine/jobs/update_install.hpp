#pragma once

#include <boost/signals2/signal.hpp>
#include <string>

#include "engine/jobs/cancellable_job.hpp"

namespace parvel {

// Opens the saved installer with the desktop's opener and does not wait for
// it. Ends with exactly one of succeeded (the opener was started) or failed.
class update_install : public cancellable_job {
 public:
  explicit update_install(std::string path)
      : cancellable_job("update_install"), path_(std::move(path)) {}

  boost::signals2::signal<void()> signal_succeeded;
  boost::signals2::signal<void()> signal_failed;

  // Starting the opener takes no time worth stopping: a cancel changes nothing.
  void run() override;

 private:
  const std::string path_;
};

}  // namespace parvel
