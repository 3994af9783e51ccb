#pragma once

#include <QString>
#include <QWidget>
#include <boost/signals2/connection.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/windows/async_window_update.hpp"
#include "engine/errors/parvel_error.hpp"
#include "ui/controls/add_control_dispose.hpp"
#include "ui/send/progress_bar.hpp"
#include "ui/send/send_page_state.hpp"
#include "ui/send/send_progress.hpp"
#include "ui/theme/add_control_image.hpp"

class QLabel;
class QPushButton;

namespace parvel {

class controller;
class package_info;

// A millisecond tick that wraps at 32 bits, for the time estimate.
using tick_clock = std::function<std::uint32_t()>;
std::uint32_t steady_tick();

// Shows one send while it runs: a header, a status that follows the jobs'
// stages, the progress bar, the uploaded amount and the time remaining, and
// Cancel, Close and Retry (controls id_2, id_8, id_4; texts id_128, id_130).
// Listens to the send jobs through the controller: the job slots re-post
// themselves to the page's thread, progress coalesced so that a fast upload
// cannot flood the window. Mirrors progress and outcome on the taskbar and
// asks the canvas to release it when closed. User-interface thread.
class send_page : public QWidget,
                  public add_control_dispose<send_page>,
                  public add_control_image<send_page>,
                  public core::windows_async_window_update {
 public:
  explicit send_page(tick_clock clock = steady_tick, QWidget* parent = nullptr);
  ~send_page() override;

  // The canvas sets 1 at once; the jobs' reports set the others.
  void set_state(int state, const parvel_error& error = parvel_error(0));
  int state() const { return state_; }
  const QString& header_text() const { return header_; }
  const QString& status_text() const { return status_; }
  progress_bar& bar() { return *bar_; }

  // Job slots, run on the page's thread (the connections post them there).
  void on_photo_archive_succeeded(const std::shared_ptr<package_info>& package);
  void on_photo_archive_progress(std::uint64_t done, std::uint64_t total);
  void on_photo_upload_preparing();
  void on_photo_upload_succeeded();
  void on_photo_upload_progress(unsigned sent, unsigned total, bool through_proxy = false);
  void on_send_failed(const parvel_error& error);
  void on_send_canceled();
  void on_send_progress_message(int code);

  // From add_control_image: the background, header and status.
  void draw_image(QPainter& painter, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPushButton* make_button(int id, const char* text_key);
  void connect_jobs();
  void set_texts(int state, const parvel_error& error);
  void layout();
  void on_cancel();
  void on_close();
  void on_retry();

  int state_ = send_none;
  QString header_;
  QString status_;
  bool retrying_ = false;  // Retry pressed, no job has reported the outcome yet
  QPushButton* cancel_;
  QPushButton* close_;
  QPushButton* retry_;
  progress_bar* bar_;
  QLabel* amount_;
  QLabel* time_;
  tick_clock clock_;
  remaining_time_estimate remaining_;
  std::shared_ptr<controller> controller_;
  // Last member: disconnected first.
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace parvel
