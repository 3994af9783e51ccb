#include "ui/send/progress_bar.hpp"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "ui/theme/drawing.hpp"

namespace parvel {

namespace {

// At most 60 repaints a second: a frame rounded up to whole milliseconds.
constexpr int frame_ms = (1000 + 59) / 60;

QLinearGradient glass_gradient(QSize size, QColor top, QColor upper_middle, QColor lower_middle,
                               QColor bottom) {
  QLinearGradient gradient(0, 0, 0, size.height());
  gradient.setColorAt(0, top);
  add_hard_step(gradient, 0.5, upper_middle, lower_middle);
  gradient.setColorAt(1, bottom);
  return gradient;
}

// The trough's outline and the fill's shape. Whole-number points are pixel
// centres (GDI+'s pixel model); on Qt's pixel edges a 1-pixel outline blurs
// over two rows.
QPainterPath outer_path(QSize size) {
  return make_rounded_rect_path({0, 0}, {size.width() - 1, size.height() - 1}, 30,
                                size.height() - 1);
}

}  // namespace

QString progress_percent_text(float value) {
  return QString::number(static_cast<int>(value * 100)) + QStringLiteral(" %");
}

progress_bar::progress_bar(QWidget* parent) : QWidget(parent) {
  repaint_timer_.setSingleShot(true);
  connect(&repaint_timer_, &QTimer::timeout, this, [this] { update(); });
}

void progress_bar::set_value(float value) {
  const bool visible_change = shown(value) != shown(value_);
  value_ = value;
  if (visible_change) {
    repaint_soon();
  }
}

void progress_bar::set_show_text(bool show) {
  show_text_ = show;
  update();
}

std::pair<int, QString> progress_bar::shown(float value) const {
  return {static_cast<int>(width() * value), show_text_ ? progress_percent_text(value) : QString()};
}

void progress_bar::repaint_soon() {
  if (repaint_timer_.isActive()) {
    return;
  }
  const qint64 waited = since_paint_.isValid() ? since_paint_.elapsed() : frame_ms;
  if (waited >= frame_ms) {
    update();
  } else {
    repaint_timer_.start(static_cast<int>(frame_ms - waited));
  }
}

void progress_bar::draw_image(QPainter& painter, QSize size) {
  const int w = size.width();
  const int h = size.height();
  const QPainterPath outer = outer_path(size);
  const QPainterPath inner = make_rounded_rect_path({1, 1}, {w - 2, h - 2}, 30, h - 3);

  painter.fillPath(outer, glass_gradient(size, QColor(0xFFEAEAEA), QColor(0xFFD8D8D8),
                                         QColor(0xFFB5B5B5), QColor(0xFFD1D1D1)));
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0xFFC69367), 1));
  painter.drawPath(outer);
  painter.setPen(QPen(QColor(0xFFE5CFB7), 1));
  painter.drawPath(inner);
}

void progress_bar::render_fill() {
  // An empty bar keeps what it had, as its trough does.
  if (size().isEmpty())
    return;
  const qreal ratio = devicePixelRatioF();
  fill_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  fill_.setDevicePixelRatio(ratio);
  fill_.fill(Qt::transparent);
  QPainter painter(&fill_);
  set_high_quality(painter);
  painter.fillPath(outer_path(size()),
                   glass_gradient(size(), QColor(0xFFEAD6C0), QColor(0xFFF0C492),
                                  QColor(0xFFE8A155), QColor(0xFFFFBD72)));
}

void progress_bar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  render_fill();
}

bool progress_bar::event(QEvent* event) {
  // Another screen may have another pixel ratio; the trough follows it when
  // it next paints.
  if (event->type() == QEvent::ScreenChangeInternal)
    render_fill();
  return QWidget::event(event);
}

void progress_bar::paintEvent(QPaintEvent*) {
  since_paint_.start();
  paint_image();
  if (image().isNull()) {
    return;
  }
  QPainter painter(this);
  const int fill_width = static_cast<int>(width() * value_);
  if (!fill_.isNull() && fill_width > 0) {
    const qreal ratio = fill_.devicePixelRatio();
    const QRect target(0, 0, fill_width, height());
    const QRect source(0, 0, static_cast<int>(fill_width * ratio), fill_.height());
    painter.drawImage(target, fill_, source);
  }
  if (show_text_) {
    const QFont& font = theme::font_manager::instance()->font(10);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString text =
        QFontMetrics(font).elidedText(progress_percent_text(value_), Qt::ElideRight, width());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
  }
}

}  // namespace parvel
