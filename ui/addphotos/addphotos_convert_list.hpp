#pragma once

#include "engine/options/photo_convert_option.hpp"
#include "ui/addphotos/addphotos_convert_rows.hpp"
#include "ui/addphotos/addphotos_list_popup.hpp"

namespace parvel {

// The target formats of the convert option manager, a dot beside the
// current one. Columns "Mark" (the dot) and "Option". UI thread only.
class addphotos_convert_list : public addphotos_popup_list<addphotos_convert_list, option_row> {
 public:
  explicit addphotos_convert_list(QWidget* parent = nullptr);

  void load_options();
  // Throws std::invalid_argument for a row outside the list.
  const photo_convert_option& get_option(int row) const;

  QString cell_text(int row, int column_id) const;
  int cell_kind(int row, int column_id) const;
  void draw_own_cell(QPainter& painter, const QRect& cell, int row, int column_id);
};

}  // namespace parvel
