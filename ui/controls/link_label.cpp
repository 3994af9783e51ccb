#include "ui/controls/link_label.hpp"

#include <QMouseEvent>

namespace parvel {

link_label::link_label(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor(0, 0, 255));
  setPalette(colours);
}

void link_label::set_underlined(bool underlined) {
  underlined_ = underlined;
  apply_underline();
}

void link_label::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange)
    apply_underline();
  QLabel::changeEvent(event);
}

void link_label::apply_underline() {
  // Setting the font raises one more FontChange, which finds it as wanted.
  if (font().underline() != underlined_) {
    QFont changed = font();
    changed.setUnderline(underlined_);
    setFont(changed);
  }
}

void link_label::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void link_label::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click)
    Q_EMIT clicked();
}

}  // namespace parvel
