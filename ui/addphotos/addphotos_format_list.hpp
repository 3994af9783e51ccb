#pragma once

#include <vector>

#include "engine/options/photo_convert_option.hpp"
#include "ui/addphotos/addphotos_format_rows.hpp"
#include "ui/controls/basic_list.hpp"

namespace parvel {

// The target formats of the convert option manager, a dot beside the
// current one. Columns "Mark" (the dot) and "Option"; no header, hot rows,
// never takes the focus or the mouse from its popup. Control id 110.
// UI thread only.
class addphotos_convert_list : public basic_list<addphotos_convert_list> {
 public:
  explicit addphotos_convert_list(QWidget* parent = nullptr);

  void load_options();
  // Throws std::invalid_argument for a row outside the list.
  const photo_convert_option& get_option(int row) const;

  int row_count() const { return static_cast<int>(rows_.size()); }
  QString cell_text(int row, int column_id) const;
  int cell_kind(int row, int column_id) const;
  void draw_own_cell(QPainter& painter, const QRect& cell, int row, int column_id);

 private:
  std::vector<option_row> rows_;
};

}  // namespace parvel
