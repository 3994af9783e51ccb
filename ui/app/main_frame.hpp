#pragma once

#include <QWidget>
#include <boost/signals2/connection.hpp>
#include <optional>
#include <vector>

#include "core/windows/async_window_update.hpp"
#include "ui/app/taskbar_button.hpp"

namespace parvel {

class canvas_view;

// The program's only top-level window. Its canvas fills it. Closing it saves
// the placement, the settings and the user's config; close_window (the
// controller's exit, SIGTERM, the session's end) closes it without saving.
// Either way it raises closed(), on which the loop ends with exit code 1.
// User-interface thread: the controller's signals reach the slots there.
class main_frame : public QWidget, public core::windows_async_window_update {
  Q_OBJECT

 public:
  static constexpr QSize minimum_size{750, 580};

  main_frame();
  ~main_frame() override;

  canvas_view& canvas() const { return *canvas_; }
  const taskbar_button& taskbar() const { return taskbar_; }

  // Closes without saving anything. On Wayland the window stays mapped until
  // the process ends: see closeEvent.
  void close_window();
  // Shows the window, also one started hidden or minimised, raises it and asks
  // for it to be activated, with the activation token a second start was
  // given where the compositor takes one; on X11 the token is the start's
  // startup notification id, whose time the window manager weighs.
  void show_and_raise(const QString& activation_token);
  // Places the window so that its outer frame covers frame. Before the window
  // manager has framed it, the window itself takes frame; once the frame is
  // known (after the first map, in the normal state) the window shrinks by it,
  // so that a start restores what the last close saved.
  void restore_frame(const QRect& frame);

  // Controller slots.
  void set_taskbar_progress(float p);
  void set_taskbar_state(taskbar_progress::state s);

 Q_SIGNALS:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void save_placement_and_config();
  // Shows, raises and activates the window; map_anew: unmapped first, so that
  // the compositor maps it anew.
  void show_raised(const QString& activation_token, bool map_anew);
  // Has Qt's Wayland platform tell the compositor the window's geometry again.
  void resend_window_geometry();
  // The decorations around the window, the window manager's or Qt's own; none
  // until the window is framed, nor while it fills the screen.
  QMargins frame_margins() const;
  // In the normal state: keeps the minimum size and the restored rectangle to
  // the outer frame, and notes the outer frame a close saves.
  void fit_to_frame();

  // The outer rectangle restore_frame was given, until the window could take it.
  std::optional<QRect> restoring_;
  // The activation token of a show request, kept until the window is mapped
  // anew; empty: none was given.
  std::optional<QString> activation_on_expose_;
  // The activation token of a show request that waits for the window's frame
  // to be answered before it maps the window anew.
  std::optional<QString> map_anew_on_frame_;
  // The outer rectangle the window last had shown in the normal state. Read
  // neither in other states nor at close: decorations come and go with them.
  std::optional<QRect> normal_frame_;

  canvas_view* canvas_;
  taskbar_button taskbar_;
  bool save_on_close_ = true;
  // Resized while Qt's Wayland platform drew nothing: the compositor still
  // has the geometry from before.
  bool geometry_unsent_ = false;
  // Last member: disconnected before anything else of the frame goes.
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace parvel
