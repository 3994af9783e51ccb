#pragma once

#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <memory>
#include <string>

#include "core/update/update_enclosure.hpp"
#include "engine/errors/parvel_error.hpp"

namespace parvel {

class package_info;

// The hub between the jobs and the windows. Every job event arrives on the
// job's worker thread through a relay handler, which logs "SIGNAL: ..." and
// re-emits the controller's signal there; the windows re-post to their own
// thread. The notify operations are for the windows, on the user-interface
// thread. Start and cancel operations create and stop the jobs.
class controller {
 public:
  controller() = default;
  virtual ~controller() = default;
  controller(const controller&) = delete;
  controller& operator=(const controller&) = delete;

  boost::signals2::signal<void()> signal_app_exit;
  boost::signals2::signal<void()> signal_ui_updated;
  boost::signals2::signal<void()> signal_commit_updates;
  boost::signals2::signal<void(bool newer, const core::update::update_enclosure&)>
      on_update_check_succeeded;
  boost::signals2::signal<void()> signal_update_check_failed;
  boost::signals2::signal<void(const std::string& path)> on_update_download_succeeded;
  boost::signals2::signal<void(unsigned received, unsigned total)> on_update_download_progress;
  boost::signals2::signal<void()> on_update_download_failed;
  boost::signals2::signal<void()> on_update_install_succeeded;
  boost::signals2::signal<void()> on_update_install_failed;
  boost::signals2::signal<void(const std::shared_ptr<package_info>&)> on_photo_archive_succeeded;
  boost::signals2::signal<void(std::uint64_t done, std::uint64_t total)> on_photo_archive_progress;
  boost::signals2::signal<void(const parvel_error&)> on_photo_archive_failed;
  boost::signals2::signal<void()> on_photo_archive_canceled;
  boost::signals2::signal<void()> on_photo_upload_preparing;
  boost::signals2::signal<void()> on_photo_upload_succeeded;
  boost::signals2::signal<void(unsigned sent, unsigned total, bool through_proxy)>
      on_photo_upload_progress;
  boost::signals2::signal<void(const parvel_error&)> on_photo_upload_failed;
  boost::signals2::signal<void()> on_photo_upload_canceled;
  boost::signals2::signal<void(parvel_code::parvel_code)> on_send_progress_message;
  boost::signals2::signal<void(float)> on_taskbar_progress;  // emitted by the windows directly
  boost::signals2::signal<void()> on_taskbar_action_succeeded;
  boost::signals2::signal<void()> on_action_failed;
  boost::signals2::signal<void()> on_action_set;
  boost::signals2::signal<void()> on_action_reset;
  boost::signals2::signal<void(bool)> on_update_window_closed;
  boost::signals2::signal<void()> signal_send_window_opened;
  boost::signals2::signal<void(bool)> signal_send_window_closed;

  // Relays of job events.
  void handle_update_check_succeeded(bool newer, const core::update::update_enclosure& enclosure);
  void handle_update_check_failed();
  void handle_update_download_succeeded(const std::string& path);
  void handle_update_download_progress(unsigned received, unsigned total);
  void handle_update_download_failed();
  void handle_update_install_succeeded();
  void handle_update_install_failed();
  void handle_photo_archive_succeeded(const std::shared_ptr<package_info>& package);
  void handle_photo_archive_progress(std::uint64_t done, std::uint64_t total);
  void handle_photo_archive_failed(const parvel_error& error);
  void handle_photo_archive_canceled();
  void handle_photo_upload_preparing();
  void handle_photo_upload_succeeded();
  void handle_photo_upload_progress(unsigned sent, unsigned total, bool through_proxy);
  void handle_photo_upload_failed(const parvel_error& error);
  void handle_photo_upload_canceled();
  void handle_send_progress_message(parvel_code::parvel_code code);

  // Events the windows raise for each other.
  void do_exit();
  void notify_ui_updated();
  void notify_commit_updates();
  void notify_taskbar_action_succeeded();
  void notify_action_failed();
  void notify_action_set();
  void notify_action_reset();
  void notify_update_window_closed();
  void notify_send_window_opened();
  void notify_send_window_closed();

  // Each start makes a new job and hands it to the application's dispatcher;
  // each cancel asks every running job of that name to stop and returns.
  void start_update_check();
  // length: the installer's size as the feed gives it, 0 when it gives none.
  void start_update_download(const std::string& url, std::uint64_t length = 0);
  void cancel_update_download();
  void start_update_install(const std::string& path);
  void start_photo_archive(const std::shared_ptr<package_info>& package);
  void cancel_photo_archive();
  void start_photo_upload(const std::shared_ptr<package_info>& package);
  void cancel_photo_upload();
};

}  // namespace parvel
