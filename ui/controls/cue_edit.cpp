#include "ui/controls/cue_edit.hpp"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace parvel {

cue_edit::cue_edit(QWidget* parent) : QLineEdit(parent) {}

void cue_edit::set_cue_text(const QString& text) {
  cue_text_ = text;
  update();
}

void cue_edit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  if (cue_text_.isEmpty() || !text().isEmpty() || hasFocus())
    return;
  QStyleOptionFrame option;
  initStyleOption(&option);
  QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  // The cue starts half a "W" inside the field.
  const QFontMetrics metrics(font());
  area.setLeft(area.left() + metrics.horizontalAdvance(QLatin1Char('W')) / 2);
  if (area.width() <= 0)
    return;
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::PlaceholderText));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   metrics.elidedText(cue_text_, Qt::ElideRight, area.width()));
}

void cue_edit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  update();
}

void cue_edit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  update();
}

}  // namespace parvel
