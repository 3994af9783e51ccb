#include "ui/update/update_picture.hpp"

#include <QPolygonF>
#include <algorithm>

namespace parvel {

namespace {

QRectF inset(const QRectF& rect, qreal dx, qreal dy) {
  return {rect.x() + dx, rect.y() + dy, std::max<qreal>(0.0, rect.width() - 2 * dx),
          std::max<qreal>(0.0, rect.height() - 2 * dy)};
}

}  // namespace

QRectF header_area(QSizeF client, QSizeF text_size) {
  return inset(QRectF(QPointF(0, 0), client), text_size.width() / 2, text_size.height());
}

QRectF body_area(const QRectF& header, qreal text_width) {
  return inset(header, text_width, 0);
}

QRectF body_box(const QRectF& measured_body, qreal header_height) {
  return measured_body.translated(0, 2 * header_height);
}

QRectF notes_panel(const QRectF& body, QSizeF client) {
  return {body.left(), body.top() + 1.5 * body.height(),
          std::max<qreal>(0.0, client.width() - 2 * body.left()), client.height() * 0.5};
}

QRectF notes_text_area(const QRectF& panel) {
  return inset(panel, 4, 4);
}

std::array<QPointF, 7> arrow_points(float fx, float fy, float x1, float y1, float x2, float y2) {
  const float mid = x1 + (x2 - x1) * 0.5f;
  const float a = (mid - x1) * fx;
  const float b = (y2 - y1) * fy;
  return {{{x1 + a, y1},
           {x1 + a, y1 + b},
           {x1, y1 + b},
           {mid, y2},
           {x2, y1 + b},
           {x2 - a, y1 + b},
           {x2 - a, y1}}};
}

QPainterPath make_arrow_path(float fx, float fy, float x1, float y1, float x2, float y2) {
  const auto points = arrow_points(fx, fy, x1, y1, x2, y2);
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points.begin(), points.end())));
  path.closeSubpath();
  return path;
}

}  // namespace parvel
