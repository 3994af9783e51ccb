#include "ui/addphotos/photo_list/addphotos_list.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <stdexcept>

#include "engine/photos/package_info.hpp"
#include "engine/photos/photo_entry.hpp"
#include "engine/user/user.hpp"
#include "ui/addphotos/photo_list/byte_size.hpp"
#include "ui/controls/make_control.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

addphotos_list::addphotos_list(QWidget* parent) : basic_list<addphotos_list>(parent) {
  set_control_id(*this, 125);
  set_show_header(false);
  set_single_selection(false);
  set_focus_cell_mode(false);
  set_horizontal_scroll(false);
  add_column(QStringLiteral("Name"));
  add_column(QStringLiteral("Size"));
  user& person = *user::instance();
  connections_.emplace_back(person.signal_photos_added.connect([this] { on_photos_added(); }));
  connections_.emplace_back(person.signal_photos_removed.connect([this] { on_photos_removed(); }));
  refresh_metrics();
  set_border(false);
  take_rows();
  update_scroll_bars();
}

addphotos_list::~addphotos_list() = default;

const photo_row& addphotos_list::row_at(int row) const {
  if (row < 0 || row >= row_count())
    throw std::invalid_argument("Cannot get the photo. Index is out of range.");
  return rows_[static_cast<std::size_t>(row)];
}

QString addphotos_list::cell_text(int row, int column_id) const {
  const photo_row& photo = row_at(row);
  switch (column_id) {
    case 0:
      return QString::fromStdString(photo.path);
    case 1:
      return QString::fromStdString(format_byte_size(photo.size));
    default:
      return {};
  }
}

void addphotos_list::take_rows() {
  rows_ = take_photo_rows(*user::instance()->get_package());
}

void addphotos_list::on_photos_added() {
  take_rows();
  clear_selection();
  update_scroll_bars();
  update_empty_picture();
}

void addphotos_list::on_photos_removed() {
  take_rows();
  // Forgets selected rows beyond the new count, so a later Delete never names
  // a photo the set no longer has.
  update_scroll_bars();
  update_empty_picture();
}

void addphotos_list::remove_selected() {
  std::vector<int> rows = selected_rows();
  std::erase_if(rows, [this](int row) { return row < 0 || row >= row_count(); });
  if (rows.empty())
    return;
  package_info& package = *user::instance()->get_package();
  if (static_cast<int>(rows.size()) == row_count()) {
    package.clear_photos();
  } else {
    std::vector<photo_entry> photos;
    photos.reserve(rows.size());
    for (const int row : rows)
      photos.push_back({row_at(row).path, 0, {}, {}});
    package.remove_photos(photos);
  }
  deselect_rows(rows);
}

void addphotos_list::resizeEvent(QResizeEvent* event) {
  basic_list<addphotos_list>::resizeEvent(event);
  update_empty_picture();
}

void addphotos_list::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rows_.empty())
    signal_empty_click();
  basic_list<addphotos_list>::mouseReleaseEvent(event);
}

void addphotos_list::update_empty_picture() {
  const QSize size = viewport()->size();
  if (size.isEmpty())
    return;
  if (!rows_.empty()) {
    if (!background_image().isNull())
      set_background_image(QImage());
    return;
  }
  const qreal ratio = viewport()->devicePixelRatioF();
  if (background_image().size() != device_size(size, ratio) ||
      background_image().devicePixelRatio() != ratio) {
    set_background_image(render_empty_picture(size, ratio));
  }
}

empty_picture_lines empty_picture_text_heights() {
  const QFont& font = theme::font_manager::instance()->font(5);
  return {measure_text(localized("drag_here_1"), font).height(),
          measure_text(localized("drag_here_2"), font).height()};
}

empty_picture_places place_empty_picture(QSize size, QSize image, empty_picture_lines lines) {
  const int h1 = lines.first;
  empty_picture_places places;
  // A list narrower than the picture keeps its left edge in view.
  places.image = QPoint(std::max(0, (size.width() - image.width()) / 2),
                        (size.height() - h1 - image.height() - 16) / 2);
  if (places.image.y() < 0)
    places.image.setY(16);
  places.first_line = places.image.y() + image.height() + 16;
  places.second_line = places.first_line + h1;
  return places;
}

int empty_picture_height(QSize image, empty_picture_lines lines) {
  // The second line hangs below the centred block of art and first line, so
  // the block's free space holds it and the spare rows twice, less the
  // halving's rounding.
  constexpr int spare = 4;
  return image.height() + 16 + lines.first + 2 * (lines.second + spare) - 1;
}

int empty_picture_height() {
  return empty_picture_height(load_png_resource(129).size(), empty_picture_text_heights());
}

QImage render_empty_picture(QSize size, qreal device_pixel_ratio) {
  const int w = size.width();
  const int h = size.height();
  const QString first = localized("drag_here_1");
  const QString second = localized("drag_here_2");
  QImage picture = make_device_image(size, device_pixel_ratio);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  set_high_quality(painter);
  painter.setFont(theme::font_manager::instance()->font(5));
  const empty_picture_lines heights = empty_picture_text_heights();

  // Our art at the picture's density, so it and the texts under it are as
  // sharp as the rest of the window.
  const QImage image = load_png_resource(129, device_pixel_ratio);
  const empty_picture_places places =
      place_empty_picture(size, image.deviceIndependentSize().toSize(), heights);
  draw_image_on_pixels(painter, places.image, image);

  painter.setPen(QColor(0x80, 0x80, 0x80));
  const auto draw_line = [&](const QString& text, int top, int measured) {
    const int height = h - top >= 0 ? h - top : measured;
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideMiddle, w);
    painter.drawText(QRect(0, top, w, height), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     shown);
  };
  draw_line(first, places.first_line, heights.first);
  draw_line(second, places.second_line, heights.second);
  return picture;
}

}  // namespace parvel
