#include "ui/controls/basic_flow_popup.hpp"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace parvel {

namespace {

Qt::WindowFlags flags_of(flow_popup_kind kind) {
  if (kind == flow_popup_kind::option)
    return Qt::Popup | Qt::FramelessWindowHint;
  return Qt::Widget;
}

bool is_press(const QEvent* event) {
  return event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick ||
         event->type() == QEvent::NonClientAreaMouseButtonPress;
}

}  // namespace

// At a fractional scale a window of odd logical size ends in the middle of a
// device pixel: a border drawn at the last logical pixel lands one device
// pixel inside the window's edge, where the children's rectangles, rounded
// out to whole device pixels, paint over it. The children always leave the
// outermost device pixels free.
void paint_window_border(QPainter& painter, const QWidget& window, const QColor& colour) {
  const qreal ratio = painter.device()->devicePixelRatioF();
  const QSize pixels = (QSizeF(window.size()) * ratio).toSize();
  const int thickness = std::max(1, static_cast<int>(std::floor(ratio + 1e-9)));
  painter.save();
  painter.scale(1 / ratio, 1 / ratio);
  painter.fillRect(0, 0, pixels.width(), thickness, colour);
  painter.fillRect(0, pixels.height() - thickness, pixels.width(), thickness, colour);
  painter.fillRect(0, 0, thickness, pixels.height(), colour);
  painter.fillRect(pixels.width() - thickness, 0, thickness, pixels.height(), colour);
  painter.restore();
}

QSize popup_size_within(const QRect& popup, const QRect& bounds) {
  const auto cut = [](int size, int start, int end, int whole) {
    return std::max(0, std::min(size, end > start ? end - start : whole));
  };
  return {cut(popup.width(), popup.left(), bounds.left() + bounds.width(), bounds.width()),
          cut(popup.height(), popup.top(), bounds.top() + bounds.height(), bounds.height())};
}

basic_flow_popup::basic_flow_popup(flow_popup_kind kind, QWidget* owner)
    : QWidget(owner, flags_of(kind)), kind_(kind) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_NoMouseReplay);
  setFocusPolicy(Qt::NoFocus);
  // The one-pixel border is painted inside the window.
  setContentsMargins(1, 1, 1, 1);
  setCursor(Qt::ArrowCursor);
}

basic_flow_popup::~basic_flow_popup() {
  if (filtering_)
    qApp->removeEventFilter(this);
}

void basic_flow_popup::hide_popup() {
  // hideEvent reports it; an already hidden popup reports again, as every
  // hiding request does.
  if (isVisible()) {
    hide();
  } else {
    signal_hidden(true);
  }
}

void basic_flow_popup::place(const QRect& rect) {
  const QWidget* owner = parentWidget();
  setGeometry(owner ? QRect(rect.topLeft(), popup_size_within(rect, owner->rect())) : rect);
  raise();
}

void basic_flow_popup::mousePressEvent(QMouseEvent* event) {
  event->accept();
  hide_popup();
}

void basic_flow_popup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  paint_window_border(painter, *this, palette().color(QPalette::Dark));
}

void basic_flow_popup::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (kind_ == flow_popup_kind::typed_past && !filtering_) {
    qApp->installEventFilter(this);
    filtering_ = true;
  }
}

void basic_flow_popup::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (filtering_) {
    qApp->removeEventFilter(this);
    filtering_ = false;
  }
  // A popup closed by Qt (a press outside an option popup) comes here too.
  if (!event->spontaneous())
    signal_hidden(true);
}

bool basic_flow_popup::eventFilter(QObject* watched, QEvent* event) {
  if (filtering_ && is_press(event) && watched->isWidgetType() && !contains_widget(watched)) {
    hide_popup();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool basic_flow_popup::contains_widget(const QObject* object) const {
  for (; object != nullptr; object = object->parent()) {
    if (object == this)
      return true;
    // A window of its own (another top-level) is outside the popup.
    if (object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow())
      return false;
  }
  return false;
}

}  // namespace parvel
