#include "tests/engine/jobs/job_recorder.hpp"

#include "core/version.hpp"
#include "engine/controller/controller.hpp"
#include "engine/errors/parvel_code.hpp"
#include "engine/jobs/photo_archive.hpp"

namespace test_support {

namespace {

std::string failure(const char* kind, const parvel::parvel_error& e) {
  return kind + std::to_string(e.code()) + ":" + e.what();
}

std::string fraction(const char* kind, std::uint64_t done, std::uint64_t total) {
  return kind + std::to_string(done) + "/" + std::to_string(total);
}

}  // namespace

void job_recorder::connect_archive(auto& status, auto& progress, auto& succeeded, auto& failed,
                                   auto& canceled) {
  connections_.emplace_back(status.connect([this](parvel::parvel_code::parvel_code code) {
    record(std::string("status:") + parvel::parvel_code_key(code), false);
  }));
  connections_.emplace_back(progress.connect(
      [this](auto done, auto total) { record(fraction("progress:", done, total), false); }));
  connections_.emplace_back(succeeded.connect([this](const auto&) { record("succeeded", true); }));
  connections_.emplace_back(failed.connect(
      [this](const parvel::parvel_error& e) { record(failure("failed:", e), true); }));
  connections_.emplace_back(canceled.connect([this] { record("canceled", true); }));
}

job_recorder::job_recorder(parvel::photo_archive& job) {
  connect_archive(job.signal_status, job.signal_progress, job.signal_succeeded, job.signal_failed,
                  job.signal_canceled);
}

job_recorder::job_recorder(parvel::controller& c) {
  connect_archive(c.on_send_progress_message, c.on_photo_archive_progress,
                  c.on_photo_archive_succeeded, c.on_photo_archive_failed,
                  c.on_photo_archive_canceled);
  connections_.emplace_back(
      c.on_photo_upload_preparing.connect([this] { record("upload_preparing", false); }));
  connections_.emplace_back(c.on_photo_upload_progress.connect(
      [this](auto sent, auto total) { record(fraction("upload_progress:", sent, total), false); }));
  connections_.emplace_back(
      c.on_photo_upload_succeeded.connect([this] { record("upload_succeeded", true); }));
  connections_.emplace_back(c.on_photo_upload_failed.connect(
      [this](const parvel::parvel_error& e) { record(failure("upload_failed:", e), true); }));
  connections_.emplace_back(
      c.on_photo_upload_canceled.connect([this] { record("upload_canceled", true); }));
  connections_.emplace_back(c.on_update_check_succeeded.connect([this](bool newer, const auto& p) {
    record(std::string(newer ? "check newer " : "check not newer ") +
               core::version_to_string(p.version) + " " + p.href,
           true);
  }));
  connections_.emplace_back(
      c.signal_update_check_failed.connect([this] { record("check failed", true); }));
  connections_.emplace_back(
      c.on_update_download_progress.connect([this](auto received, auto total) {
        record(fraction("progress ", received, total), false);
      }));
  connections_.emplace_back(c.on_update_download_succeeded.connect(
      [this](const std::string& path) { record("download saved " + path, true); }));
  connections_.emplace_back(
      c.on_update_download_failed.connect([this] { record("download failed", true); }));
  connections_.emplace_back(
      c.on_update_install_succeeded.connect([this] { record("install started", true); }));
  connections_.emplace_back(
      c.on_update_install_failed.connect([this] { record("install failed", true); }));
}

void job_recorder::record(const std::string& event, bool ends) {
  std::function<void()> action;
  {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    if (trigger_ && event.starts_with(trigger_prefix_)) {
      action = std::move(trigger_);
      trigger_ = nullptr;
    }
  }
  if (action) {
    action();
  }
  if (ends) {
    std::lock_guard lock(mutex_);
    ++ends_;
    ended_.notify_all();
  }
}

bool job_recorder::wait_for_end(std::chrono::seconds limit) {
  std::unique_lock lock(mutex_);
  if (!ended_.wait_for(lock, limit, [this] { return ends_ > awaited_; })) {
    return false;
  }
  ++awaited_;
  return true;
}

std::vector<std::string> job_recorder::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::string job_recorder::outcome() const {
  std::lock_guard lock(mutex_);
  return events_.empty() ? std::string() : events_.back();
}

void job_recorder::on_first(const std::string& prefix, std::function<void()> action) {
  std::lock_guard lock(mutex_);
  trigger_prefix_ = prefix;
  trigger_ = std::move(action);
}

}  // namespace test_support
