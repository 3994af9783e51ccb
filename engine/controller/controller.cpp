#include "engine/controller/controller.hpp"

#include <boost/format.hpp>

#include "core/log/logger.hpp"
#include "engine/photos/package_info.hpp"

namespace parvel {

namespace {

// A relay's log line with its placeholders filled.
template <class... Args>
std::string signal_line(const char* format, const Args&... args) {
  boost::format line(format);
  (line % ... % args);
  return line.str();
}

// Every relay and notification: the line at level 4, then the signal with the
// values, whose slots run on this thread before it returns.
template <class Signal, class... Values>
void relay(Signal& signal, const std::string& line, const Values&... values) {
  core::log::write(core::log::severity::debug, line);
  signal(values...);
}

}  // namespace

void controller::handle_update_check_succeeded(bool newer,
                                               const core::update::update_enclosure& enclosure) {
  relay(on_update_check_succeeded, "SIGNAL: on_update_check_succeeded()", newer, enclosure);
}

void controller::handle_update_check_failed() {
  relay(signal_update_check_failed, "SIGNAL: signal_update_check_failed()");
}

void controller::handle_update_download_succeeded(const std::string& path) {
  relay(on_update_download_succeeded, signal_line("SIGNAL: on_update_download_succeeded(%s)", path),
        path);
}

void controller::handle_update_download_progress(unsigned received, unsigned total) {
  relay(on_update_download_progress,
        signal_line("SIGNAL: on_update_download_progress(%u, %u)", received, total), received,
        total);
}

void controller::handle_update_download_failed() {
  relay(on_update_download_failed, "SIGNAL: on_update_download_failed()");
}

void controller::handle_update_install_succeeded() {
  relay(on_update_install_succeeded, "SIGNAL: on_update_install_succeeded()");
}

void controller::handle_update_install_failed() {
  relay(on_update_install_failed, "SIGNAL: on_update_install_failed()");
}

void controller::handle_photo_archive_succeeded(const std::shared_ptr<package_info>& package) {
  relay(on_photo_archive_succeeded,
        signal_line("SIGNAL: on_photo_archive_succeeded(%s, items:%u)", package->archive_path(),
                    package->photo_count()),
        package);
}

void controller::handle_photo_archive_progress(std::uint64_t done, std::uint64_t total) {
  relay(on_photo_archive_progress,
        signal_line("SIGNAL: on_photo_archive_progress(%u, %u)", done, total), done, total);
}

void controller::handle_photo_archive_failed(const parvel_error& error) {
  relay(on_photo_archive_failed, signal_line("SIGNAL: on_photo_archive_failed(%s)", error.what()),
        error);
}

void controller::handle_photo_archive_canceled() {
  relay(on_photo_archive_canceled, "SIGNAL: on_photo_archive_canceled()");
}

void controller::handle_photo_upload_preparing() {
  relay(on_photo_upload_preparing, "SIGNAL: on_photo_upload_preparing()");
}

void controller::handle_photo_upload_succeeded() {
  relay(on_photo_upload_succeeded, "SIGNAL: on_photo_upload_succeeded()");
}

void controller::handle_photo_upload_progress(unsigned sent, unsigned total, bool through_proxy) {
  relay(on_photo_upload_progress,
        signal_line("SIGNAL: on_photo_upload_progress(%u, %u)", sent, total), sent, total,
        through_proxy);
}

void controller::handle_photo_upload_failed(const parvel_error& error) {
  relay(on_photo_upload_failed, signal_line("SIGNAL: on_photo_upload_failed(%s)", error.what()),
        error);
}

void controller::handle_photo_upload_canceled() {
  relay(on_photo_upload_canceled, "SIGNAL: on_photo_upload_canceled()");
}

void controller::handle_send_progress_message(parvel_code::parvel_code code) {
  relay(on_send_progress_message,
        signal_line("SIGNAL: on_send_progress_message(%s)", parvel_code_key(code)), code);
}

void controller::do_exit() {
  relay(signal_app_exit, "do_exit -- SIGNAL: signal_app_exit()");
}

void controller::notify_ui_updated() {
  relay(signal_ui_updated, "SIGNAL: signal_ui_updated()");
}

void controller::notify_commit_updates() {
  relay(signal_commit_updates, "SIGNAL: signal_commit_updates()");
}

void controller::notify_taskbar_action_succeeded() {
  relay(on_taskbar_action_succeeded, "SIGNAL: on_taskbar_action_succeeded()");
}

void controller::notify_action_failed() {
  relay(on_action_failed, "SIGNAL: on_action_failed()");
}

void controller::notify_action_set() {
  relay(on_action_set, "SIGNAL: on_action_set()");
}

void controller::notify_action_reset() {
  relay(on_action_reset, "SIGNAL: on_action_reset()");
}

void controller::notify_update_window_closed() {
  relay(on_update_window_closed, "SIGNAL: on_update_window_closed()", true);
}

void controller::notify_send_window_opened() {
  relay(signal_send_window_opened, "SIGNAL: signal_send_window_opened()");
}

void controller::notify_send_window_closed() {
  relay(signal_send_window_closed, "SIGNAL: signal_send_window_closed()", true);
}

}  // namespace parvel
