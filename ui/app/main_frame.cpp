#include "ui/app/main_frame.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <utility>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "engine/user/user_config.hpp"
#include "ui/addphotos/frame_minimum.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/app/desktop_file_id.hpp"
#include "ui/app/startup_id.hpp"
#include "ui/app/window_geometry.hpp"
#include "ui/app/x11_window.hpp"
#include "ui/theme/program_palette.hpp"

namespace parvel {

namespace {

QSize page_minimum(const canvas_view& canvas) {
  const QWidget* page = canvas.page(canvas_view::layer::addphotos);
  return page ? page->minimumSizeHint() : QSize();
}

// Well beyond the 100 ms that Qt's Wayland platform waits for a frame to be
// answered before it takes the window for unexposed.
constexpr std::chrono::milliseconds frame_wait{500};

bool on_wayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Qt's Wayland platform hands the compositor the token in XDG_ACTIVATION_TOKEN
// when a window asks to be activated, where the compositor takes tokens, and
// then removes the variable; it offers no other way in. Set only for that
// call and only with a token, so that no program started later inherits a
// spent one. User-interface thread only.
void activate_with_token(QWidget& window, const QString& token) {
  const bool lent = !token.isEmpty() && on_wayland();
  if (lent) {
    qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
  }
  window.activateWindow();
  if (lent) {
    qunsetenv("XDG_ACTIVATION_TOKEN");
  }
}

}  // namespace

main_frame::main_frame() : canvas_(nullptr), taskbar_(QString::fromLatin1(desktop_file_id)) {
  // The popups are windows of their own: the application's palette reaches them.
  use_program_palette();
  canvas_ = new canvas_view(this);
  setObjectName(QStringLiteral("LumbrelParvelMainFrame"));
  setMinimumSize(frame_minimum_client_size(minimum_size, {}, page_minimum(*canvas_)));
  QIcon icon;
  for (const char* name : {":/icons/parvel-16.png", ":/icons/parvel-32.png",
                           ":/icons/parvel-48.png", ":/icons/parvel.png"}) {
    icon.addFile(QString::fromLatin1(name));
  }
  setWindowIcon(icon);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  setFocusProxy(canvas_);
  // Tab in the message edit goes to the recipients edit, whatever the pages do.
  qApp->installEventFilter(this);

  using state = taskbar_progress::state;
  controller& hub = *application::instance()->controller();
  connections_.emplace_back(hub.signal_app_exit.connect(relay(&main_frame::close_window)));
  connections_.emplace_back(
      hub.on_taskbar_progress.connect(relay(&main_frame::set_taskbar_progress)));
  connections_.emplace_back(
      hub.on_taskbar_action_succeeded.connect(relay([this] { set_taskbar_state(state::paused); })));
  connections_.emplace_back(
      hub.on_action_failed.connect(relay([this] { set_taskbar_state(state::error); })));
  connections_.emplace_back(
      hub.on_action_set.connect(relay([this] { set_taskbar_state(state::normal); })));
  connections_.emplace_back(
      hub.on_action_reset.connect(relay([this] { set_taskbar_state(state::no_progress); })));
}

main_frame::~main_frame() {
  qApp->removeEventFilter(this);
}

void main_frame::close_window() {
  // Not close(): a frame never shown gets no close event, and this one must
  // end the loop all the same.
  save_on_close_ = false;
  if (!on_wayland()) {
    hide();
  }
  Q_EMIT closed();
}

void main_frame::show_and_raise(const QString& activation_token) {
  // Wayland tells no client that the compositor minimised its window, and
  // gives it no request to undo that: only a new map brings such a window
  // back. Qt's active state cannot tell: the compositor's word that the
  // window lost its focus may reach Qt late, so a minimised window can
  // still read active.
  const bool map_anew = on_wayland();
  QWindow* window = windowHandle();
  if (map_anew && isVisible() && window && window->isExposed()) {
    // Qt's Wayland platform destroys the frame callback it may have pending
    // when the window is hidden, without the lock of its frame thread, which
    // destroys it too once the compositor answers it. Hidden in the update
    // Qt delivers once its frame thread is done with the callback, or once
    // Qt, the frame unanswered, takes the window for unexposed: the
    // compositor no longer draws it. Qt holds back an update asked for
    // before it committed a frame since the last one, and a minimised window
    // may draw none: then no callback is pending, and the window is mapped
    // anew after a while.
    map_anew_on_frame_ = activation_token;
    window->requestUpdate();
    QTimer::singleShot(frame_wait, this, [this] {
      if (map_anew_on_frame_) {
        show_raised(*std::exchange(map_anew_on_frame_, std::nullopt), true);
      }
    });
    return;
  }
  show_raised(activation_token, map_anew);
}

void main_frame::show_raised(const QString& activation_token, bool map_anew) {
  if (map_anew) {
    const QRect normal = normalGeometry();
    hide();
    // The new map takes the window's size as the one to go back to when a
    // compositor un-maximises it and leaves the size to the client: a window
    // maximised or full screen is mapped from its normal size, in its state.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
      setGeometry(normal);
    }
  }
  // Asked before Qt's own show: a map Qt requests would read as not yet done.
  const bool map_ourselves = iconified_unseen(*this);
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  if (map_ourselves) {
    map_on_x11(*this);
  }
  if (map_anew) {
    // A window not mapped yet cannot be activated.
    activation_on_expose_ = activation_token;
  } else {
    activate_with_token(*this, activation_token);
  }
  // Qt asks for nothing while the window manager holds the window unmapped,
  // as on another desktop; the start's time lets it weigh the request.
  request_activation_on_x11(*this, startup_id_time(activation_token).value_or(0));
}

void main_frame::restore_frame(const QRect& frame) {
  restoring_ = frame;
  // Before the first show move() places the outer frame, resize() the window.
  move(frame.topLeft());
  resize(frame.size().shrunkBy(frame_margins()));
  fit_to_frame();
}

QMargins main_frame::frame_margins() const {
  const QWindow* window = windowHandle();
  return window ? window->frameMargins() : QMargins();
}

void main_frame::fit_to_frame() {
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
    // A larger minimum now would undo the size the state gave the window.
    return;
  }
  const QMargins margins = frame_margins();
  // The minimum tracking size is the outer frame's.
  setMinimumSize(frame_minimum_client_size(minimum_size, margins, page_minimum(*canvas_)));
  if (restoring_ && !margins.isNull()) {
    const QRect frame = *restoring_;
    restoring_.reset();
    setGeometry(frame.marginsRemoved(margins));
  }
  if (isVisible()) {
    normal_frame_ = frameGeometry();
  }
}

void main_frame::set_taskbar_progress(float p) {
  taskbar_.set_value(p);
}

void main_frame::set_taskbar_state(taskbar_progress::state s) {
  taskbar_.set_state(s);
}

void main_frame::closeEvent(QCloseEvent* event) {
  // On Wayland the close is refused, and the window stays mapped until the
  // process ends once the loop is left: Qt's Wayland platform hides or
  // destroys a window it closes, which destroys a frame callback its frame
  // thread may be destroying too.
  event->setAccepted(!on_wayland());
  if (!save_on_close_) {
    return;
  }
  save_on_close_ = false;
  save_placement_and_config();
  Q_EMIT closed();
}

void main_frame::save_placement_and_config() {
  application_settings& settings = *application::instance()->settings();
  // A window never shown in the normal state (started maximised, minimised
  // or hidden) comes back to the rectangle it was to take.
  const QRect normal_frame = normal_frame_.value_or(restoring_.value_or(QRect()));
  // Wayland tells no client where its window lies.
  const bool position_known = !on_wayland();
  settings.placement =
      placement_from_window(settings.placement, normal_frame, windowState(), position_known);
  settings.save();

  const auto& person = *user::instance();
  const auto package = person.get_package();
  user_config record;
  record.email = package->sender;
  record.contacts = person.contacts;
  record.value = package->counter;
  save_config(record);
}

void main_frame::resizeEvent(QResizeEvent*) {
  canvas_->setGeometry(rect());
  fit_to_frame();
  // Qt's Wayland platform sends the window's geometry with a resize only
  // while the window is exposed, and it takes a window whose frame the
  // compositor has not answered for 100 ms, as on a busy machine, for
  // unexposed: a compositor's configure taken then left the compositor
  // placing the window by its old size.
  const QWindow* window = windowHandle();
  if (on_wayland() && isVisible() && window && !window->isExposed()) {
    geometry_unsent_ = true;
  }
}

void main_frame::resend_window_geometry() {
  // A move is sent on with the geometry, and the compositor ignores it. The
  // window's own: a widget moved by the program leaves full screen.
  QWindow* window = windowHandle();
  const QPoint at = window->position();
  window->setPosition(at + QPoint(1, 0));
  window->setPosition(at);
}

// The window manager reports its frame with the window's first placement.
void main_frame::moveEvent(QMoveEvent*) {
  fit_to_frame();
}

// A window shown where it was asked to be may see no move or resize.
void main_frame::showEvent(QShowEvent*) {
  fit_to_frame();
}

void main_frame::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    fit_to_frame();
  }
  QWidget::changeEvent(event);
}

bool main_frame::eventFilter(QObject* watched, QEvent* event) {
  if (map_anew_on_frame_ && watched == windowHandle() &&
      (event->type() == QEvent::UpdateRequest ||
       (event->type() == QEvent::Expose && !windowHandle()->isExposed()))) {
    show_raised(*std::exchange(map_anew_on_frame_, std::nullopt), true);
    return false;
  }
  if (event->type() == QEvent::Expose && geometry_unsent_ && watched == windowHandle() &&
      windowHandle()->isExposed()) {
    geometry_unsent_ = false;
    resend_window_geometry();
  }
  if (event->type() == QEvent::Expose && activation_on_expose_ && watched == windowHandle() &&
      windowHandle()->isExposed()) {
    activate_with_token(*this, *std::exchange(activation_on_expose_, std::nullopt));
    return false;
  }
  if (event->type() != QEvent::KeyPress || watched->objectName() != QLatin1String("id_140")) {
    return false;
  }
  const int key = static_cast<QKeyEvent*>(event)->key();
  auto* edit = qobject_cast<QWidget*>(watched);
  if ((key != Qt::Key_Tab && key != Qt::Key_Backtab) || !edit || !isAncestorOf(edit)) {
    return false;
  }
  if (auto* recipients = findChild<QWidget*>(QStringLiteral("id_124"))) {
    recipients->setFocus(Qt::TabFocusReason);
  }
  return true;
}

}  // namespace parvel
