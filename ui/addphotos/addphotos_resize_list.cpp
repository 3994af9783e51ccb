#include "ui/addphotos/addphotos_resize_list.hpp"

#include "engine/options/resize_option_manager.hpp"

namespace parvel {

addphotos_resize_list::addphotos_resize_list(QWidget* parent)
    : addphotos_popup_list(parent, QStringLiteral("Mark"), QStringLiteral("Resolution")) {}

void addphotos_resize_list::fill() {
  replace_rows(make_size_rows(resize_option_manager::instance()->options()));
}

const photo_resize_option& addphotos_resize_list::option_at(int row) const {
  return size_option_at(rows(), resize_option_manager::instance()->options(), row);
}

bool addphotos_resize_list::is_group_row(int row) const {
  const option_row* const shown = row_at(row);
  return shown && shown->kind == list_kind_group;
}

QString addphotos_resize_list::cell_text(int row, int column_id) const {
  const option_row* const shown = row_at(row);
  return shown && column_id != 0 ? shown->text : QString();
}

int addphotos_resize_list::cell_kind(int row, int column_id) const {
  if (!row_at(row))
    return list_kind_text;
  if (is_group_row(row))
    return list_kind_group;
  return column_id == 0 ? list_kind_own_cell : list_kind_text;
}

void addphotos_resize_list::draw_own_cell(QPainter& painter, const QRect& cell, int row, int) {
  if (!is_group_row(row) &&
      is_current_size(option_at(row), resize_option_manager::instance()->current()))
    paint_option_dot(painter, cell);
}

}  // namespace parvel
