#include "ui/theme/drawing.hpp"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "ui/theme/ui_resources.hpp"

namespace parvel {

namespace {
// Far below a pixel of any window, far above the gradient's own rounding.
constexpr qreal hard_step_gap = 1e-6;
}  // namespace

void gradient_fill_rect(QPainter& painter, const QRect& rect, const QColor& top,
                        const QColor& bottom) {
  QLinearGradient gradient(rect.topLeft(), rect.bottomLeft() + QPoint(0, 1));
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  painter.fillRect(rect, gradient);
}

void add_hard_step(QGradient& gradient, qreal at, const QColor& before, const QColor& after) {
  gradient.setColorAt(std::max<qreal>(0, at - hard_step_gap), before);
  gradient.setColorAt(at, after);
}

void alpha_blend(QPainter& painter, const QRect& destination, const QImage& source, int source_x,
                 int source_width, int source_height) {
  const QPainter::CompositionMode mode = painter.compositionMode();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(destination, source, QRect(source_x, 0, source_width, source_height));
  painter.setCompositionMode(mode);
}

rounded_rect_metrics_t rounded_rect_metrics(QPoint first, QPoint second, int percentage, int base) {
  rounded_rect_metrics_t m{};
  m.left = std::min(first.x(), second.x());
  m.right = std::max(first.x(), second.x());
  m.top = std::min(first.y(), second.y());
  m.bottom = std::max(first.y(), second.y());
  m.base = base != 0 ? base : std::min(m.right - m.left, m.bottom - m.top);
  m.corner_width = m.base * percentage / 100;
  m.corner_height = m.corner_width;
  return m;
}

QPointF pixel_centre(QPoint point) {
  return QPointF(point) + QPointF(0.5, 0.5);
}

QPainterPath make_rounded_rect_path(QPoint first, QPoint second, int percentage, int base) {
  const rounded_rect_metrics_t m = rounded_rect_metrics(first, second, percentage, base);
  const int c = m.corner_width;
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  // Qt's angles run counter-clockwise, GDI+'s clockwise: each arc is the
  // same quarter, mirrored in sign.
  path.arcMoveTo(m.right - c, m.top, c, c, 90);
  path.arcTo(m.right - c, m.top, c, c, 90, -90);
  path.arcTo(m.right - c, m.bottom - c, c, c, 0, -90);
  path.arcTo(m.left, m.bottom - c, c, c, 270, -90);
  path.arcTo(m.left, m.top, c, c, 180, -90);
  path.closeSubpath();
  return path.translated(pixel_centre({0, 0}));
}

QImage load_png_resource(int id, qreal device_pixel_ratio) {
  register_ui_resources();
  QImage image(QStringLiteral(":/png/%1.png").arg(id), "PNG");
  if (image.isNull())
    return {};
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (device_pixel_ratio <= 1)
    return image;
  const QImage twice(QStringLiteral(":/png/%1@2x.png").arg(id), "PNG");
  const QImage& source = twice.isNull() ? image : twice;
  const QSize pixels = device_size(image.size(), device_pixel_ratio);
  QImage sharp = source.size() == pixels
                     ? source
                     : source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  sharp = sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  sharp.setDevicePixelRatio(device_pixel_ratio);
  return sharp;
}

QSize device_size(QSize logical, qreal device_pixel_ratio) {
  return (QSizeF(logical) * device_pixel_ratio).toSize();
}

QImage make_device_image(QSize logical, qreal device_pixel_ratio) {
  QImage image(device_size(logical, device_pixel_ratio), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(device_pixel_ratio);
  image.fill(Qt::transparent);
  return image;
}

void draw_image_on_pixels(QPainter& painter, QPoint top_left, const QImage& image) {
  const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
  const QPointF device = painter.transform().map(QPointF(top_left)) * ratio;
  const QPointF snapped(std::round(device.x()), std::round(device.y()));
  painter.drawImage(painter.transform().inverted().map(snapped / ratio), image);
}

QBrush paint_parent_background(QWidget& parent, const QWidget& child) {
  if (parent.size().isEmpty() || child.size().isEmpty())
    return QBrush(Qt::white);
  const QRect area(child.mapTo(&parent, QPoint(0, 0)), child.size());
  QPixmap picture(child.size());
  picture.fill(Qt::white);
  // Only the parent itself: its children (the child among them) are not
  // part of its background.
  parent.render(&picture, QPoint(), QRegion(area), QWidget::DrawWindowBackground);
  return QBrush(picture);
}

QSize measure_text(const QString& text, const QFont& font) {
  if (text.isEmpty())
    return {0, 0};
  return QFontMetrics(font).boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, text).size();
}

QSize fit_static_to_text(const QLabel& label) {
  const QString text = label.text();
  if (text.isEmpty())
    return {0, 0};
  QString line = text;
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  const QFontMetrics metrics(label.font());
  return {metrics.horizontalAdvance(line), metrics.height()};
}

QSize measure_string(const QString& text, const QFont& font) {
  const QRectF bounds =
      QFontMetricsF(font).boundingRect(QRectF(), Qt::AlignLeft | Qt::AlignTop, text);
  return string_size_with_margins(bounds.width(), bounds.height());
}

QSize string_size_with_margins(qreal width, qreal height) {
  return {static_cast<int>(width * 1.1), static_cast<int>(height * 1.2)};
}

}  // namespace parvel
