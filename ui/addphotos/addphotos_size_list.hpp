#pragma once

#include <vector>

#include "engine/options/photo_resize_option.hpp"
#include "ui/addphotos/addphotos_size_rows.hpp"
#include "ui/controls/basic_list.hpp"

namespace parvel {

// The target sizes of the resize option manager grouped by kind, a dot
// beside the current one. Columns "Mark" (the dot) and "Resolution"; no
// header, hot rows, never takes the focus or the mouse from its popup.
// Control id 110. UI thread only.
class addphotos_resize_list : public basic_list<addphotos_resize_list> {
 public:
  explicit addphotos_resize_list(QWidget* parent = nullptr);

  void fill();
  // See size_option_at.
  const photo_resize_option& option_at(int row) const;
  bool is_group_row(int row) const;

  int row_count() const { return static_cast<int>(rows_.size()); }
  QString cell_text(int row, int column_id) const;
  int cell_kind(int row, int column_id) const;
  // The dot, on the current option's row.
  void draw_own_cell(QPainter& painter, const QRect& cell, int row, int column_id);

 private:
  std::vector<option_row> rows_;
};

}  // namespace parvel
