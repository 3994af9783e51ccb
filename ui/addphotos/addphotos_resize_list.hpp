#pragma once

#include "engine/options/photo_resize_option.hpp"
#include "ui/addphotos/addphotos_list_popup.hpp"
#include "ui/addphotos/addphotos_resize_rows.hpp"

namespace parvel {

// The target sizes of the resize option manager grouped by kind, a dot
// beside the current one. Columns "Mark" (the dot) and "Resolution". UI
// thread only.
class addphotos_resize_list : public addphotos_popup_list<addphotos_resize_list, option_row> {
 public:
  explicit addphotos_resize_list(QWidget* parent = nullptr);

  void fill();
  // See size_option_at.
  const photo_resize_option& option_at(int row) const;
  bool is_group_row(int row) const;

  QString cell_text(int row, int column_id) const;
  int cell_kind(int row, int column_id) const;
  // The dot, on the current option's row.
  void draw_own_cell(QPainter& painter, const QRect& cell, int row, int column_id);
};

}  // namespace parvel
