#include "ui/addphotos/option_row.hpp"

#include <QPainter>

#include "ui/theme/font_manager.hpp"

namespace parvel {

QRectF option_dot_rect(const QRect& cell) {
  // Win32 rectangles: right and bottom exclusive.
  const int cx = (cell.left() + cell.left() + cell.width()) / 2;
  const int cy = (cell.top() + cell.top() + cell.height()) / 2;
  const double r = cell.height() / 5.0;
  return QRectF(cx - r + 2, cy - r, 2 * r, 2 * r);
}

void paint_option_dot(QPainter& painter, const QRect& cell) {
  set_high_quality(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x50, 0x50, 0x50));
  painter.drawEllipse(option_dot_rect(cell));
}

QSize option_popup_size(int total_width, int rows, int row_height) {
  return {total_width + 2, rows * row_height + 2};
}

}  // namespace parvel
