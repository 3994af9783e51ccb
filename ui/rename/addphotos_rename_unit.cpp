#include "ui/rename/addphotos_rename_unit.hpp"

#include <QLinearGradient>
#include <QPainter>

#include "ui/rename/addphotos_rename_unit_item.hpp"
#include "ui/rename/rename_layout.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"

namespace parvel {

addphotos_rename_unit::addphotos_rename_unit(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::ArrowCursor);
  setFont(theme::font_manager::instance()->font(10));
}

void addphotos_rename_unit::set_title(const QString& title) {
  title_ = title;
  refresh_image();
  update_layout();
}

void addphotos_rename_unit::add_item(addphotos_rename_unit_item* item) {
  items_.push_back(item);
  update_layout();
}

std::shared_ptr<rename_alg> addphotos_rename_unit::make_alg() const {
  const addphotos_rename_unit_item* item = current_item();
  return item != nullptr ? item->make_alg() : nullptr;
}

void addphotos_rename_unit::set_current(unsigned index) {
  current_ = index;
  update_layout();
}

addphotos_rename_unit_item* addphotos_rename_unit::current_item() const {
  return current_ < items_.size() ? items_[current_] : nullptr;
}

QSize addphotos_rename_unit::title_size() const {
  return measure_string(title_, font());
}

void addphotos_rename_unit::update_layout() {
  std::vector<QSize> sizes;
  for (addphotos_rename_unit_item* item : items_) {
    item->measure();
    sizes.push_back(item->item_size());
  }
  const QSize title = title_size();
  const QSize size = parvel::unit_size(sizes, title, min_height_);
  if (size != size_) {
    size_ = size;
    resize(size);
    refresh_image();
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (i != current_)
      items_[i]->hide();
  }
  if (addphotos_rename_unit_item* item = current_item()) {
    item->setGeometry(unit_item_place(size_, item->item_size(), title.height()));
    item->show();
  }
}

void addphotos_rename_unit::draw_image(QPainter& painter, QSize size) {
  if (QWidget* parent = parentWidget())
    painter.fillRect(QRect(QPoint(0, 0), size), paint_parent_background(*parent, *this));

  const QRect body = unit_body(size);
  const QPainterPath outline =
      make_rounded_rect_path(body.topLeft(), body.bottomRight() + QPoint(1, 1), 10, 0);
  QLinearGradient fill(0, body.top(), 0, body.bottom() + 1);
  fill.setColorAt(0.0, QColor(0xE6, 0xE6, 0xE6));
  add_hard_step(fill, 0.19, QColor(0xDD, 0xDD, 0xDD), QColor(0xD2, 0xD2, 0xD2));
  fill.setColorAt(1.0, QColor(0xF2, 0xF2, 0xF2));
  painter.fillPath(outline, fill);

  // The title band: rounded at the top, square at the bottom.
  const int title_height = title_size().height();
  const rounded_rect_metrics_t corner =
      rounded_rect_metrics(body.topLeft(), body.bottomRight() + QPoint(1, 1), 10, 0);
  // On pixel centres, as the body's path: the 1-pixel outline covers one row.
  const QRectF band(pixel_centre(body.topLeft()), QSizeF(body.width(), title_height));
  QPainterPath band_path;
  band_path.moveTo(band.left(), band.bottom());
  band_path.arcTo(QRectF(band.left(), band.top(), corner.corner_width, corner.corner_height), 180,
                  -90);
  band_path.arcTo(QRectF(band.right() - corner.corner_width, band.top(), corner.corner_width,
                         corner.corner_height),
                  90, -90);
  band_path.lineTo(band.right(), band.bottom());
  band_path.closeSubpath();
  const QColor band_colour(0xB7, 0xB7, 0xB7);
  painter.setPen(QPen(band_colour, 1));
  painter.setBrush(band_colour);
  painter.drawPath(band_path);

  painter.setPen(QColor(0x50, 0x50, 0x50));
  painter.setFont(font());
  painter.drawText(band, Qt::AlignCenter, title_);

  painter.setPen(QPen(QColor(0xB2, 0xB2, 0xB2), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(outline);
}

void addphotos_rename_unit::paintEvent(QPaintEvent*) {
  paint_image();
}

void addphotos_rename_unit::resizeEvent(QResizeEvent*) {
  update_layout();
}

}  // namespace parvel
