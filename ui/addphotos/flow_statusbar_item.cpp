#include "ui/addphotos/flow_statusbar_item.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include "ui/addphotos/addphotos_statusbar_layout.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"

namespace parvel {

flow_statusbar_item::flow_statusbar_item(QWidget* parent) : QWidget(parent) {
  setFont(theme::font_manager::instance()->font(10));
  measure();
}

void flow_statusbar_item::set_text(const QString& text) {
  text_ = text;
  measure();
  refresh_image();
}

void flow_statusbar_item::measure() {
  if (text_.isEmpty()) {
    text_size_ = QSize(0, 0);
  } else {
    const QFontMetricsF metrics(font());
    text_size_ = status_text_size(metrics.horizontalAdvance(text_), metrics.height());
  }
  resize(status_field_size(text_size_));
}

void flow_statusbar_item::draw_image(QPainter& painter, QSize size) {
  if (QWidget* bar = parentWidget())
    painter.fillRect(QRect(QPoint(0, 0), size), paint_parent_background(*bar, *this));
  if (text_.isEmpty())
    return;
  painter.setFont(font());
  painter.setPen(QColor(0x50, 0x50, 0x50));
  painter.drawText(QRect(QPoint(1, 1), text_size_), Qt::AlignLeft | Qt::AlignVCenter, text_);
  painter.setPen(QPen(QColor(0xAC, 0xAC, 0xAC), 1));
  painter.drawLine(pixel_centre({size.width() - 1, 0}),
                   pixel_centre({size.width() - 1, size.height()}));
}

void flow_statusbar_item::paintEvent(QPaintEvent*) {
  paint_image();
}

}  // namespace parvel
