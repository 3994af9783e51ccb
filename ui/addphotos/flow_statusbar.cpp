#include "ui/addphotos/flow_statusbar.hpp"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

#include "ui/addphotos/addphotos_statusbar_layout.hpp"
#include "ui/addphotos/flow_statusbar_item.hpp"
#include "ui/theme/drawing.hpp"

namespace parvel {

flow_statusbar::flow_statusbar(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::ArrowCursor);
  // The bar follows its parent's width.
  if (parent != nullptr)
    parent->installEventFilter(this);
}

flow_statusbar::~flow_statusbar() {
  if (QWidget* parent = parentWidget())
    parent->removeEventFilter(this);
}

void flow_statusbar::add_item(flow_statusbar_item* item) {
  items_.push_back(item);
  layout_items();
}

void flow_statusbar::layout_items() {
  update_size();
  std::vector<QSize> sizes;
  for (const flow_statusbar_item* item : items_)
    sizes.push_back(item->size());
  const status_bar_layout places = layout_status_bar(sizes);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    items_[i]->move(places.fields[i]);
    items_[i]->show();
  }
  update();
}

void flow_statusbar::update_size() {
  const QWidget* parent = parentWidget();
  if (parent == nullptr || parent->size().isEmpty())
    return;
  std::vector<QSize> sizes;
  for (const flow_statusbar_item* item : items_)
    sizes.push_back(item->size());
  const status_bar_layout places = layout_status_bar(sizes);
  const int height = status_bar_height(places.tallest);
  if (height == 0)
    return;  // every field empty: the bar keeps its last size
  const QSize bar(parent->width(), height);
  if (places.content_width != content_width_ || places.tallest != content_height_ ||
      bar != size()) {
    content_width_ = places.content_width;
    content_height_ = places.tallest;
    resize(bar);
    refresh_image();
    for (flow_statusbar_item* item : items_)
      item->update();
  }
}

void flow_statusbar::draw_image(QPainter& painter, QSize size) {
  const QRectF all(QPointF(0, 0), size);
  QLinearGradient fill(0, 0, 0, size.height());
  fill.setColorAt(0.0, QColor(0xE6, 0xE6, 0xE6));
  fill.setColorAt(0.24, QColor(0xDD, 0xDD, 0xDD));
  fill.setColorAt(0.26, QColor(0xD2, 0xD2, 0xD2));
  fill.setColorAt(1.0, QColor(0xF2, 0xF2, 0xF2));
  painter.fillRect(all, fill);
  painter.setPen(QPen(QColor(0x7D, 0x7D, 0x7D), 1));
  painter.drawLine(pixel_centre({0, 0}), pixel_centre({size.width(), 0}));
}

void flow_statusbar::paintEvent(QPaintEvent*) {
  paint_image();
}

bool flow_statusbar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize)
    layout_items();
  return QWidget::eventFilter(watched, event);
}

}  // namespace parvel
