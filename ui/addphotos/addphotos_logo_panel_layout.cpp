#include "ui/addphotos/addphotos_logo_panel_layout.hpp"

namespace parvel {

logo_panel_layout layout_logo_panel(QSize client, QSize logo, QSizeF headline, QSizeF addition) {
  logo_panel_layout p;
  const int y = (client.height() - logo.height()) / 2;
  // Right and bottom edges lie outside: a click on them misses the link.
  p.link = QRect(QPoint(2, y), logo);
  const qreal x1 = logo.width() / 2 + 2;
  p.headline = QPointF(x1, client.height() - 1.1 * headline.height());
  p.addition = QPointF(x1 + headline.width(), client.height() - 1.1 * addition.height());
  return p;
}

}  // namespace parvel
