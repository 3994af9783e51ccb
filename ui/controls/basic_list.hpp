#pragma once

#include "ui/controls/basic_list_base.hpp"

namespace parvel {

// An owner-drawn list whose rows live in T, which derives from basic_list<T>
// and supplies, as public members:
//   int row_count() const;
//   QString cell_text(int row, int column_id) const;  // column id -1: a group band's text
// and optionally
//   int cell_kind(int row, int column_id) const;      // default: the column's kind
//   void draw_own_cell(QPainter&, const QRect& cell, int row, int column_id);  // kind 8
//   void draw_own_text(QPainter&, const QRect& text, int row, int column_id);  // kind 9
// T's constructor sets the options and adds the columns. When T's rows
// change it calls row_added() or update_scroll_bars(); when they shrink, the
// list forgets selected rows beyond the new row count.
template <class T>
class basic_list : public basic_list_base {
 public:
  using basic_list_base::basic_list_base;

 private:
  const T& derived() const { return static_cast<const T&>(*this); }
  T& derived() { return static_cast<T&>(*this); }

  int list_row_count() const final { return derived().row_count(); }

  QString list_cell_text(int row, int column_id) const final {
    return derived().cell_text(row, column_id);
  }

  int list_cell_kind(int row, int column_id) const final {
    if constexpr (requires(const T& list) { list.cell_kind(row, column_id); })
      return derived().cell_kind(row, column_id);
    else
      return column_kind(column_id);
  }

  void list_draw_own_cell(QPainter& painter, const QRect& cell, int row, int column_id) final {
    if constexpr (requires(T & list) { list.draw_own_cell(painter, cell, row, column_id); })
      derived().draw_own_cell(painter, cell, row, column_id);
  }

  void list_draw_own_text(QPainter& painter, const QRect& text, int row, int column_id) final {
    if constexpr (requires(T & list) { list.draw_own_text(painter, text, row, column_id); })
      derived().draw_own_text(painter, text, row, column_id);
  }
};

}  // namespace parvel
