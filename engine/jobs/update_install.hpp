#pragma once

#include <boost/signals2/signal.hpp>
#include <string>

#include "engine/jobs/cancellable_job.hpp"

namespace parvel {

// Opens the saved installer with the desktop's opener and waits for it only
// a short while: succeeded ends the program, so an opener that fails at once
// (nothing can open the file) reports failed instead. Ends with exactly one
// of succeeded or failed.
class update_install : public cancellable_job {
 public:
  explicit update_install(std::string path)
      : cancellable_job("update_install"), path_(std::move(path)) {}

  boost::signals2::signal<void()> signal_succeeded;
  boost::signals2::signal<void()> signal_failed;

  // The short wait for the opener is not worth stopping: a cancel changes nothing.
  void run() override;

 private:
  const std::string path_;
};

}  // namespace parvel
