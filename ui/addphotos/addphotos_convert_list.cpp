#include "ui/addphotos/addphotos_convert_list.hpp"

#include <stdexcept>

#include "engine/options/convert_option_manager.hpp"

namespace parvel {

addphotos_convert_list::addphotos_convert_list(QWidget* parent)
    : addphotos_popup_list(parent, QStringLiteral("Mark"), QStringLiteral("Option")) {}

void addphotos_convert_list::load_options() {
  replace_rows(make_format_rows(convert_option_manager::instance()->options()));
}

const photo_convert_option& addphotos_convert_list::get_option(int row) const {
  const option_row* const shown = row_at(row);
  if (!shown)
    throw std::invalid_argument("Row index is out of range.");
  return convert_option_manager::instance()->option(shown->option_index);
}

QString addphotos_convert_list::cell_text(int row, int) const {
  const option_row* const shown = row_at(row);
  return shown ? shown->text : QString();
}

int addphotos_convert_list::cell_kind(int row, int column_id) const {
  const option_row* const shown = row_at(row);
  if (!shown)
    return list_kind_text;
  if (column_id == 0)
    return list_kind_own_cell;
  return shown->kind;
}

void addphotos_convert_list::draw_own_cell(QPainter& painter, const QRect& cell, int row, int) {
  if (is_current_format(get_option(row), convert_option_manager::instance()->current()))
    paint_option_dot(painter, cell);
}

}  // namespace parvel
