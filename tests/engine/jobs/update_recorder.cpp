#include "tests/engine/jobs/update_recorder.hpp"

#include "engine/controller/controller.hpp"

namespace test_support {

update_recorder::update_recorder(parvel::controller& c) {
  connections_.emplace_back(
      c.on_update_check_succeeded.connect([this](bool newer, const auto& enclosure) {
        {
          std::lock_guard lock(mutex_);
          enclosure_ = enclosure;
        }
        record(std::string(newer ? "check newer " : "check not newer ") +
               core::version_to_string(enclosure.version) + " " + enclosure.href);
      }));
  connections_.emplace_back(
      c.signal_update_check_failed.connect([this] { record("check failed"); }));
  connections_.emplace_back(
      c.on_update_download_progress.connect([this](auto received, auto total) {
        record("progress " + std::to_string(received) + "/" + std::to_string(total));
      }));
  connections_.emplace_back(c.on_update_download_succeeded.connect(
      [this](const std::string& path) { record("download saved " + path); }));
  connections_.emplace_back(
      c.on_update_download_failed.connect([this] { record("download failed"); }));
  connections_.emplace_back(
      c.on_update_install_succeeded.connect([this] { record("install started"); }));
  connections_.emplace_back(
      c.on_update_install_failed.connect([this] { record("install failed"); }));
}

void update_recorder::record(const std::string& event) {
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
  std::lock_guard lock(mutex_);
  recorded_.notify_all();
}

std::string update_recorder::wait_for(const std::string& prefix, std::chrono::seconds limit) {
  std::unique_lock lock(mutex_);
  std::size_t found = next_;
  const auto seen = [&] {
    for (; found < events_.size(); ++found) {
      if (events_[found].starts_with(prefix)) {
        return true;
      }
    }
    return false;
  };
  if (!recorded_.wait_for(lock, limit, seen)) {
    return "";
  }
  next_ = found + 1;
  return events_[found];
}

std::vector<std::string> update_recorder::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

core::update::update_enclosure update_recorder::enclosure() const {
  std::lock_guard lock(mutex_);
  return enclosure_;
}

void update_recorder::on_first(const std::string& prefix, std::function<void()> action) {
  std::lock_guard lock(mutex_);
  trigger_prefix_ = prefix;
  trigger_ = std::move(action);
}

}  // namespace test_support
