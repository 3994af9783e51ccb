#include "ui/rename/float_view.hpp"

#include <QApplication>
#include <QMouseEvent>

namespace parvel {

float_view::float_view(QWidget* parent)
    : QWidget(parent), focus_before_(QApplication::focusWidget()) {}

float_view::~float_view() {
  stop_filtering();
}

void float_view::hide_view() {
  stop_filtering();
  before_hide();
  give_focus_back();
  hide();
  signal_hidden(true);
}

void float_view::take_focus(QWidget& control) {
  // As a popup takes it: a line edit that loses the focus this way keeps its
  // selection.
  control.setFocus(Qt::PopupFocusReason);
}

void float_view::give_focus_back() {
  // Hidden with the focus, the view would pass it on as Tab does: into the
  // parent's first field with all its text selected, where the next key
  // typed would replace it.
  const QWidget* focused = QApplication::focusWidget();
  if (!focused || !isAncestorOf(focused))
    return;
  QWidget* target = focus_before_;
  if (!target || isAncestorOf(target) || !target->isEnabled() || !target->isVisible())
    target = parentWidget();
  if (target)
    target->setFocus(Qt::PopupFocusReason);
}

void float_view::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!filtering_) {
    qApp->installEventFilter(this);
    filtering_ = true;
  }
}

void float_view::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  stop_filtering();
}

void float_view::stop_filtering() {
  if (filtering_) {
    qApp->removeEventFilter(this);
    filtering_ = false;
  }
}

bool float_view::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  if (filtering_ && press && watched->isWidgetType() && !contains_object(watched)) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton) {
      // The press that closes the view reaches nothing beneath it (the
      // Rename link included, which would open the view again).
      hide_view();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool float_view::contains_object(const QObject* object) const {
  // Drop-down lists are windows of their own whose parent chain leads here.
  for (; object != nullptr; object = object->parent()) {
    if (object == this)
      return true;
  }
  return false;
}

}  // namespace parvel
