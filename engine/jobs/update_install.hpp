#pragma once

#include <boost/signals2/signal.hpp>
#include <string>

#include "core/threading/async_req.hpp"

namespace parvel {

// Opens the saved installer with the desktop's opener and does not wait for
// it. Ends with exactly one of succeeded (the opener was started) or failed.
class update_install : public core::threading::async_req {
 public:
  explicit update_install(std::string path) : async_req("update_install"), path_(std::move(path)) {}

  boost::signals2::signal<void()> signal_succeeded;
  boost::signals2::signal<void()> signal_failed;

  void run() override;
  // Starting the opener takes no time worth stopping.
  void cancel() override {}

 private:
  const std::string path_;
};

}  // namespace parvel
