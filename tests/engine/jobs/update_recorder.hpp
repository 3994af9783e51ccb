#pragma once

#include <boost/signals2/connection.hpp>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/update/update_enclosure.hpp"

namespace parvel {
class controller;
}

namespace test_support {

// Records the update events the controller relays, as short texts in order:
// "check newer 2.0.0.0 <href>", "check not newer ...", "check failed",
// "progress 10/30", "download saved <path>", "download failed",
// "install started", "install failed". Events arrive on job threads.
class update_recorder {
 public:
  explicit update_recorder(parvel::controller& controller);

  // Waits (bounded) for the next event starting with prefix after the one the
  // last wait found; "" on time-out.
  std::string wait_for(const std::string& prefix,
                       std::chrono::seconds limit = std::chrono::seconds(60));
  std::vector<std::string> events() const;
  // The last successful check's package.
  core::update::update_enclosure enclosure() const;
  // Runs once, on the job's thread, at the first event starting with prefix.
  void on_first(const std::string& prefix, std::function<void()> action);

 private:
  void record(const std::string& event);

  mutable std::mutex mutex_;
  std::condition_variable recorded_;
  std::vector<std::string> events_;
  std::size_t next_ = 0;  // where the next wait starts looking
  core::update::update_enclosure enclosure_;
  std::string trigger_prefix_;
  std::function<void()> trigger_;
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace test_support
