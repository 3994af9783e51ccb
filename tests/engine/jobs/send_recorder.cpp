#include "tests/engine/jobs/send_recorder.hpp"

#include "engine/controller/controller.hpp"
#include "engine/errors/parvel_code.hpp"

namespace test_support {

send_recorder::send_recorder(parvel::controller& c) {
  connections_.emplace_back(
      c.on_send_progress_message.connect([this](parvel::parvel_code::parvel_code code) {
        record(std::string("status:") + parvel::parvel_code_key(code), false);
      }));
  connections_.emplace_back(c.on_photo_archive_progress.connect([this](auto done, auto total) {
    record("progress:" + std::to_string(done) + "/" + std::to_string(total), false);
  }));
  connections_.emplace_back(
      c.on_photo_archive_succeeded.connect([this](const auto&) { record("succeeded", true); }));
  connections_.emplace_back(
      c.on_photo_archive_failed.connect([this](const parvel::parvel_error& e) {
        record("failed:" + std::to_string(e.code()) + ":" + e.what(), true);
      }));
  connections_.emplace_back(
      c.on_photo_archive_canceled.connect([this] { record("canceled", true); }));
  connections_.emplace_back(
      c.on_photo_upload_preparing.connect([this] { record("upload_preparing", false); }));
  connections_.emplace_back(c.on_photo_upload_progress.connect([this](auto sent, auto total) {
    record("upload_progress:" + std::to_string(sent) + "/" + std::to_string(total), false);
  }));
  connections_.emplace_back(
      c.on_photo_upload_succeeded.connect([this] { record("upload_succeeded", true); }));
  connections_.emplace_back(c.on_photo_upload_failed.connect([this](const parvel::parvel_error& e) {
    record("upload_failed:" + std::to_string(e.code()) + ":" + e.what(), true);
  }));
  connections_.emplace_back(
      c.on_photo_upload_canceled.connect([this] { record("upload_canceled", true); }));
}

void send_recorder::record(const std::string& event, bool ends) {
  std::function<void()> action;
  {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    if (trigger_ && event.rfind(trigger_prefix_, 0) == 0) {
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

bool send_recorder::wait_for_end(std::chrono::seconds limit) {
  std::unique_lock lock(mutex_);
  if (!ended_.wait_for(lock, limit, [this] { return ends_ > awaited_; })) {
    return false;
  }
  ++awaited_;
  return true;
}

std::vector<std::string> send_recorder::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::string send_recorder::outcome() const {
  std::lock_guard lock(mutex_);
  return events_.empty() ? std::string() : events_.back();
}

void send_recorder::on_first(const std::string& prefix, std::function<void()> action) {
  std::lock_guard lock(mutex_);
  trigger_prefix_ = prefix;
  trigger_ = std::move(action);
}

}  // namespace test_support
