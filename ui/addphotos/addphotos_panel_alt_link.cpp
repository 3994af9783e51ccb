#include "ui/addphotos/addphotos_panel_alt_link.hpp"

#include <QMouseEvent>

namespace parvel {

addphotos_link::addphotos_link(const QString& text, QWidget* parent) : QLabel(text, parent) {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor(0, 0, 255));
  setPalette(colours);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

void addphotos_link::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void addphotos_link::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click)
    signal_clicked();
}

}  // namespace parvel
