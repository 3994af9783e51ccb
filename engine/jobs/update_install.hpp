#pragma once

#include <boost/signals2/signal.hpp>
#include <string>

#include "core/threading/async_req.hpp"

namespace parvel {

// Opens the saved installer with the desktop's opener and waits for it only
// a short while: succeeded ends the program, so an opener that fails at once
// (nothing can open the file) reports failed instead. Ends with exactly one
// of succeeded or failed.
class update_install : public core::threading::async_req {
 public:
  explicit update_install(std::string path) : async_req("update_install"), path_(std::move(path)) {}

  boost::signals2::signal<void()> signal_succeeded;
  boost::signals2::signal<void()> signal_failed;

  void run() override;
  // The short wait for the opener is not worth stopping.
  void cancel() override {}

 private:
  const std::string path_;
};

}  // namespace parvel
