#pragma once

#include <boost/signals2/connection.hpp>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace parvel {
class controller;
class photo_archive;
}  // namespace parvel

namespace test_support {

// Records the job events the controller relays, as short texts in order:
// of the archive job "status:send_zipping", "progress:10/30", "succeeded",
// "failed:7:<text>", "canceled"; of the upload job "upload_preparing",
// "status:send_uploading", "upload_progress:16384/20000", "upload_succeeded",
// "upload_failed:11:<text>", "upload_canceled"; of the update jobs "check
// newer 2.0.0.0 <href>", "check not newer ...", "progress 10/30", "download
// saved <path>", "install started", "<check|download|install> failed".
// Events arrive on job threads.
class job_recorder {
 public:
  explicit job_recorder(parvel::controller& controller);
  // The archive job's own events, for a job run without the controller.
  explicit job_recorder(parvel::photo_archive& job);

  // Waits (bounded) until one more job has ended than were waited for;
  // false on time-out.
  bool wait_for_end(std::chrono::seconds limit = std::chrono::seconds(120));
  std::vector<std::string> events() const;
  // The last event, "" when none.
  std::string outcome() const;
  // Runs on the job's thread at the first event whose text starts with prefix.
  void on_first(const std::string& prefix, std::function<void()> action);

 private:
  // Records text(the signal's values) at each emission.
  void on(auto& signal, bool ends, auto text);
  void connect_archive(auto& status, auto& progress, auto& succeeded, auto& failed, auto& canceled);
  void record(const std::string& event, bool ends);

  mutable std::mutex mutex_;
  std::condition_variable ended_;
  int ends_ = 0;
  int awaited_ = 0;
  std::vector<std::string> events_;
  std::string trigger_prefix_;
  std::function<void()> trigger_;
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace test_support
