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

auto fixed(const char* text) {
  return [text](const auto&...) { return std::string(text); };
}

}  // namespace

void job_recorder::on(auto& signal, bool ends, auto text) {
  connections_.emplace_back(
      signal.connect([this, ends, text](const auto&... values) { record(text(values...), ends); }));
}

void job_recorder::connect_archive(auto& status, auto& progress, auto& succeeded, auto& failed,
                                   auto& canceled) {
  on(status, false,
     [](auto code) { return std::string("status:") + parvel::parvel_code_key(code); });
  on(progress, false, [](auto done, auto total) { return fraction("progress:", done, total); });
  on(succeeded, true, fixed("succeeded"));
  on(failed, true, [](const auto& e) { return failure("failed:", e); });
  on(canceled, true, fixed("canceled"));
}

job_recorder::job_recorder(parvel::photo_archive& job) {
  connect_archive(job.signal_status, job.signal_progress, job.signal_succeeded, job.signal_failed,
                  job.signal_canceled);
}

job_recorder::job_recorder(parvel::controller& c) {
  connect_archive(c.on_send_progress_message, c.on_photo_archive_progress,
                  c.on_photo_archive_succeeded, c.on_photo_archive_failed,
                  c.on_photo_archive_canceled);
  on(c.on_photo_upload_preparing, false, fixed("upload_preparing"));
  on(c.on_photo_upload_progress, false,
     [](auto sent, auto total, auto) { return fraction("upload_progress:", sent, total); });
  on(c.on_photo_upload_succeeded, true, fixed("upload_succeeded"));
  on(c.on_photo_upload_failed, true, [](const auto& e) { return failure("upload_failed:", e); });
  on(c.on_photo_upload_canceled, true, fixed("upload_canceled"));
  on(c.on_update_check_succeeded, true, [](bool newer, const auto& offer) {
    return std::string(newer ? "check newer " : "check not newer ") +
           core::version_to_string(offer.version) + " " + offer.href +
           (offer.length != 0 ? " " + std::to_string(offer.length) + " bytes" : "");
  });
  on(c.signal_update_check_failed, true, fixed("check failed"));
  on(c.on_update_download_progress, false,
     [](auto received, auto total) { return fraction("progress ", received, total); });
  on(c.on_update_download_succeeded, true,
     [](const std::string& path) { return "download saved " + path; });
  on(c.on_update_download_failed, true, fixed("download failed"));
  on(c.on_update_install_succeeded, true, fixed("install started"));
  on(c.on_update_install_failed, true, fixed("install failed"));
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
