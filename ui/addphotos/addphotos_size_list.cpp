#include "ui/addphotos/addphotos_size_list.hpp"

#include "engine/options/resize_option_manager.hpp"
#include "ui/controls/make_control.hpp"

namespace parvel {

addphotos_resize_list::addphotos_resize_list(QWidget* parent) : basic_list(parent) {
  set_control_id(*this, 110);
  set_show_header(false);
  set_take_focus_on_click(false);
  set_horizontal_scroll(false);
  set_hot_tracking(true);
  setFocusPolicy(Qt::NoFocus);
  add_column(QStringLiteral("Mark"));
  add_column(QStringLiteral("Resolution"));
  refresh_metrics();
  set_border(false);
}

void addphotos_resize_list::fill() {
  rows_.clear();
  clear_selection();
  update_scroll_bars();
  rows_ = make_size_rows(resize_option_manager::instance()->options());
  row_added();
}

const photo_resize_option& addphotos_resize_list::option_at(int row) const {
  return size_option_at(rows_, resize_option_manager::instance()->options(), row);
}

bool addphotos_resize_list::is_group_row(int row) const {
  return row >= 0 && row < row_count() &&
         rows_[static_cast<std::size_t>(row)].kind == list_kind_group;
}

QString addphotos_resize_list::cell_text(int row, int column_id) const {
  if (row < 0 || row >= row_count() || column_id == 0)
    return {};
  return rows_[static_cast<std::size_t>(row)].text;
}

int addphotos_resize_list::cell_kind(int row, int column_id) const {
  if (row < 0 || row >= row_count())
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
