#pragma once

#include <QString>
#include <QWidget>
#include <boost/signals2/connection.hpp>
#include <memory>
#include <string>
#include <vector>

#include "core/update/update_enclosure.hpp"
#include "core/windows/async_window_update.hpp"
#include "core/xhtml/commands.hpp"
#include "ui/theme/add_control_image.hpp"
#include "ui/update/update_state.hpp"

class QLabel;
class QPushButton;

namespace parvel {

class controller;
class link_label;
class progress_bar;

// The page that offers a newer version: its texts and release notes over a
// grey picture with a large arrow, then the download with its progress, and
// the installer handed to the desktop; the program ends once it started.
// The canvas makes it, gives it the enclosure and the first state (available,
// or required) and releases it when it asks to be closed.
// User-interface thread; the download and install events are re-posted to it.
class update_page : public QWidget,
                    public add_control_image<update_page>,
                    public core::windows_async_window_update {
  Q_OBJECT

 public:
  explicit update_page(QWidget* parent = nullptr);
  ~update_page() override;

  // The offer. Its release notes are parsed here, once: notes that are not
  // well-formed are logged and drawn as far as they were read.
  void set_enclosure(const core::update::update_enclosure& enclosure);
  // An update_state; another value keeps the texts shown.
  void set_state(int state);
  int state() const { return state_; }

  // From add_control_image.
  void draw_image(QPainter& painter, QSize size);

  // Controller slots, on the user-interface thread: the connections post
  // the jobs' events here.
  void on_update_download_succeeded(const std::string& path);
  void on_update_download_progress(unsigned received, unsigned total);
  void on_update_download_failed();
  void on_update_install_succeeded();
  void on_update_install_failed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void connect_signals();
  void layout();
  void draw_notes(QPainter& painter, const QRectF& area);
  void on_download_install();
  void on_cancel();
  void on_retry();
  void on_close();
  void on_link();

  int state_ = update_none;
  // Cancel or Close was pressed: the canvas releases the page soon.
  bool closed_ = false;
  core::update::update_enclosure enclosure_;
  core::xhtml::command_list notes_;
  QString header_;
  QString body_;
  std::shared_ptr<parvel::controller> controller_;
  progress_bar* progress_ = nullptr;
  QLabel* progress_text_ = nullptr;
  QLabel* link_before_ = nullptr;  // null when that part of the text is empty
  link_label* link_ = nullptr;
  QLabel* link_after_ = nullptr;
  QPushButton* download_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* retry_ = nullptr;
  QPushButton* close_ = nullptr;
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace parvel
