#include "ui/addphotos/addphotos_format_list.hpp"

#include <stdexcept>

#include "engine/options/convert_option_manager.hpp"
#include "ui/controls/make_control.hpp"

namespace parvel {

addphotos_convert_list::addphotos_convert_list(QWidget* parent) : basic_list(parent) {
  set_control_id(*this, 110);
  set_show_header(false);
  set_single_selection(false);
  set_focus_cell_mode(false);
  set_take_focus_on_click(false);
  set_horizontal_scroll(false);
  set_hot_tracking(true);
  setFocusPolicy(Qt::NoFocus);
  add_column(QStringLiteral("Mark"));
  add_column(QStringLiteral("Option"));
  refresh_metrics();
  set_border(false);
}

void addphotos_convert_list::load_options() {
  rows_.clear();
  clear_selection();
  update_scroll_bars();
  rows_ = make_format_rows(convert_option_manager::instance()->options());
  row_added();
}

const photo_convert_option& addphotos_convert_list::get_option(int row) const {
  if (row < 0 || row >= row_count())
    throw std::invalid_argument("Row index is out of range.");
  return convert_option_manager::instance()->option(
      rows_[static_cast<std::size_t>(row)].option_index);
}

QString addphotos_convert_list::cell_text(int row, int) const {
  if (row < 0 || row >= row_count())
    return {};
  return rows_[static_cast<std::size_t>(row)].text;
}

int addphotos_convert_list::cell_kind(int row, int column_id) const {
  if (row < 0 || row >= row_count())
    return list_kind_text;
  if (column_id == 0)
    return list_kind_own_cell;
  return rows_[static_cast<std::size_t>(row)].kind;
}

void addphotos_convert_list::draw_own_cell(QPainter& painter, const QRect& cell, int row, int) {
  if (is_current_format(get_option(row), convert_option_manager::instance()->current()))
    paint_option_dot(painter, cell);
}

}  // namespace parvel
