#pragma once

#include <string>
#include <vector>

#include "ui/addphotos/addphotos_list_popup.hpp"

namespace parvel {

// The saved contacts that hold the typed text, drawn with every occurrence
// of it in orange; the row under the mouse shows a removal cross in a narrow
// second column. It never shows a scroll bar, though its rows follow the
// chosen one and the wheel, and the recipients field keeps the typing. UI
// thread only.
class addphotos_contact_list : public addphotos_popup_list<addphotos_contact_list, std::string> {
 public:
  explicit addphotos_contact_list(QWidget* parent = nullptr);

  // Refills the rows from the user's saved contacts holding text (UTF-8),
  // those beginning with it first; every contact for an empty text.
  void set_filter(const std::string& text);
  const std::string& filter() const { return filter_; }
  const std::vector<std::string>& contacts() const { return rows(); }

  QString cell_text(int row, int column_id) const;
  int cell_kind(int row, int column_id) const;
  // The removal cross (column 1), on the hot row only.
  void draw_own_cell(QPainter& painter, const QRect& cell, int row, int column_id);
  // The contact with the typed text in orange (column 0).
  void draw_own_text(QPainter& painter, const QRect& text, int row, int column_id);

 private:
  std::string filter_;
};

}  // namespace parvel
