#include "ui/update/link_label.hpp"

#include <QMouseEvent>

namespace parvel {

link_label::link_label(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor(0, 0, 255));
  setPalette(colours);
  underline();
}

void link_label::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange)
    underline();
  QLabel::changeEvent(event);
}

void link_label::underline() {
  // Setting the font raises one more FontChange, which finds it underlined.
  if (!font().underline()) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
  }
}

void link_label::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    Q_EMIT activated();
  QLabel::mouseReleaseEvent(event);
}

}  // namespace parvel
