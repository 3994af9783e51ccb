#include "ui/addphotos/addphotos_logo_panel.hpp"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include "core/log/logger.hpp"
#include "core/shell_open.hpp"
#include "engine/app/service_addresses.hpp"
#include "ui/addphotos/addphotos_logo_panel_layout.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

namespace {

QSizeF text_size(const QString& text, const QFont& font) {
  return QFontMetricsF(font).boundingRect(QRectF(), Qt::AlignLeft | Qt::AlignTop, text).size();
}

}  // namespace

addphotos_logo_panel::addphotos_logo_panel(QWidget* parent) : QWidget(parent) {
  logo_size_ = load_png_resource(130).size();
  setMouseTracking(true);
}

void addphotos_logo_panel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // An empty panel (minimised) keeps its places, as it keeps its picture.
  if (size().isEmpty())
    return;
  const auto fonts = theme::font_manager::instance();
  places_ =
      layout_logo_panel(size(), logo_size_, text_size(localized("logo_header"), fonts->font(3)),
                        text_size(localized("logo_header_add"), fonts->font(2)));
}

void addphotos_logo_panel::draw_image(QPainter& painter, QSize size) {
  const auto fonts = theme::font_manager::instance();
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  // Centred on the pixel row just below the picture, so exactly its last row
  // shows the rule, unblended.
  painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 3.0));
  painter.drawLine(pixel_centre({0, size.height()}), pixel_centre({size.width(), size.height()}));

  // Our art at the picture's own density, so its word mark is as sharp as
  // the headline beside it.
  const QImage logo = load_png_resource(130, painter.device()->devicePixelRatioF());
  if (!logo.isNull())
    draw_image_on_pixels(painter, places_.link.topLeft(), logo);

  const int no_clip = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
  painter.setFont(fonts->font(3));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(places_.headline, QSizeF(0, 0)), no_clip, localized("logo_header"));
  painter.setFont(fonts->font(2));
  painter.setPen(QColor(0xFF, 0xA2, 0x3E));
  painter.drawText(QRectF(places_.addition, QSizeF(0, 0)), no_clip, localized("logo_header_add"));
  painter.setFont(fonts->font(5));
  painter.setPen(QColor(0x80, 0x80, 0x80));
  // A sixth of an em at the far end, as the text routines of the system the
  // panel was made for pad a string: without it the last glyph touches the
  // window's edge at every scale.
  const qreal padding = QFontInfo(fonts->font(5)).pixelSize() / 6.0;
  painter.drawText(QRectF(QPointF(0, 0), size).adjusted(0, 0, -padding, 0),
                   Qt::AlignRight | Qt::AlignBottom, localized("logo_limits_text"));
}

void addphotos_logo_panel::paintEvent(QPaintEvent*) {
  paint_image();
}

void addphotos_logo_panel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && link_rect().contains(event->position().toPoint()))
    open_web_site();
}

void addphotos_logo_panel::mouseMoveEvent(QMouseEvent* event) {
  setCursor(link_rect().contains(event->position().toPoint()) ? Qt::PointingHandCursor
                                                              : Qt::ArrowCursor);
}

void addphotos_logo_panel::open_web_site() {
  try {
    core::shell_open(web_site_url());
  } catch (const std::exception& e) {
    // The browser is the desktop's business: the page goes on without it.
    core::log::write(core::log::severity::warning, "%s", e.what());
  }
}

}  // namespace parvel
