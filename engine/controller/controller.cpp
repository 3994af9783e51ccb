#include "engine/controller/controller.hpp"

#include "core/log/logger.hpp"
#include "engine/photos/package_info.hpp"

namespace parvel {

namespace {

template <class... Args>
void log_signal(const char* format, const Args&... args) {
  core::log::write(core::log::severity::debug, format, args...);
}

}  // namespace

void controller::handle_update_check_succeeded(bool newer,
                                               const core::update::update_enclosure& enclosure) {
  log_signal("SIGNAL: on_update_check_succeeded()");
  on_update_check_succeeded(newer, enclosure);
}

void controller::handle_update_check_failed() {
  log_signal("SIGNAL: signal_update_check_failed()");
  signal_update_check_failed();
}

void controller::handle_update_download_succeeded(const std::string& path) {
  log_signal("SIGNAL: on_update_download_succeeded(%s)", path);
  on_update_download_succeeded(path);
}

void controller::handle_update_download_progress(unsigned received, unsigned total) {
  log_signal("SIGNAL: on_update_download_progress(%u, %u)", received, total);
  on_update_download_progress(received, total);
}

void controller::handle_update_download_failed() {
  log_signal("SIGNAL: on_update_download_failed()");
  on_update_download_failed();
}

void controller::handle_update_install_succeeded() {
  log_signal("SIGNAL: on_update_install_succeeded()");
  on_update_install_succeeded();
}

void controller::handle_update_install_failed() {
  log_signal("SIGNAL: on_update_install_failed()");
  on_update_install_failed();
}

void controller::handle_photo_archive_succeeded(const std::shared_ptr<package_info>& package) {
  log_signal("SIGNAL: on_photo_archive_succeeded(%s, items:%u)", package->archive_path(),
             package->photo_count());
  on_photo_archive_succeeded(package);
}

void controller::handle_photo_archive_progress(std::uint64_t done, std::uint64_t total) {
  log_signal("SIGNAL: on_photo_archive_progress(%u, %u)", done, total);
  on_photo_archive_progress(done, total);
}

void controller::handle_photo_archive_failed(const parvel_error& error) {
  log_signal("SIGNAL: on_photo_archive_failed(%s)", error.what());
  on_photo_archive_failed(error);
}

void controller::handle_photo_archive_canceled() {
  log_signal("SIGNAL: on_photo_archive_canceled()");
  on_photo_archive_canceled();
}

void controller::handle_photo_upload_preparing() {
  log_signal("SIGNAL: on_photo_upload_preparing()");
  on_photo_upload_preparing();
}

void controller::handle_photo_upload_succeeded() {
  log_signal("SIGNAL: on_photo_upload_succeeded()");
  on_photo_upload_succeeded();
}

void controller::handle_photo_upload_progress(unsigned sent, unsigned total) {
  log_signal("SIGNAL: on_photo_upload_progress(%u, %u)", sent, total);
  on_photo_upload_progress(sent, total);
}

void controller::handle_photo_upload_failed(const parvel_error& error) {
  log_signal("SIGNAL: on_photo_upload_failed(%s)", error.what());
  on_photo_upload_failed(error);
}

void controller::handle_photo_upload_canceled() {
  log_signal("SIGNAL: on_photo_upload_canceled()");
  on_photo_upload_canceled();
}

void controller::handle_send_progress_message(parvel_code::parvel_code code) {
  log_signal("SIGNAL: on_send_progress_message(%s)", parvel_code_key(code));
  on_send_progress_message(code);
}

void controller::do_exit() {
  log_signal("do_exit -- SIGNAL: signal_app_exit()");
  signal_app_exit();
}

void controller::notify_ui_updated() {
  log_signal("SIGNAL: signal_ui_updated()");
  signal_ui_updated();
}

void controller::notify_commit_updates() {
  log_signal("SIGNAL: signal_commit_updates()");
  signal_commit_updates();
}

void controller::notify_taskbar_action_succeeded() {
  log_signal("SIGNAL: on_taskbar_action_succeeded()");
  on_taskbar_action_succeeded();
}

void controller::notify_action_failed() {
  log_signal("SIGNAL: on_action_failed()");
  on_action_failed();
}

void controller::notify_action_set() {
  log_signal("SIGNAL: on_action_set()");
  on_action_set();
}

void controller::notify_action_reset() {
  log_signal("SIGNAL: on_action_reset()");
  on_action_reset();
}

void controller::notify_update_window_closed() {
  log_signal("SIGNAL: on_update_window_closed()");
  on_update_window_closed(true);
}

void controller::notify_send_window_opened() {
  log_signal("SIGNAL: signal_send_window_opened()");
  signal_send_window_opened();
}

void controller::notify_send_window_closed() {
  log_signal("SIGNAL: signal_send_window_closed()");
  signal_send_window_closed(true);
}

}  // namespace parvel
