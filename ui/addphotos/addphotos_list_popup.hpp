#pragma once

#include <QSize>
#include <QString>
#include <utility>
#include <vector>

#include "ui/controls/basic_flow_popup.hpp"
#include "ui/controls/basic_list.hpp"
#include "ui/controls/make_control.hpp"

namespace parvel {

struct basic_list_notification;

// A drop-down that is one owner-drawn list over its whole client area: the
// list stays hidden until the first layout, and its left and right clicks go
// to on_list_click. addphotos_list_popup_of makes the list and attaches it.
// UI thread only.
class addphotos_list_popup : public basic_flow_popup {
 public:
  QSize preferred_size() const { return preferred_size_; }

 protected:
  addphotos_list_popup(flow_popup_kind kind, QWidget* owner);
  ~addphotos_list_popup() override;

  void attach_list(basic_list_base* list);
  // The format and size lists: the mark column `mark_width` wide, the option
  // column 1.4 times its text, and the popup sized for every row.
  void fit_option_columns(int mark_width, int rows);
  void set_preferred_size(QSize size) { preferred_size_ = size; }

  void resizeEvent(QResizeEvent* event) override;
  // After the list has taken the client area.
  virtual void list_placed(const QRect& /*client*/) {}
  virtual void on_list_click(const basic_list_notification& record) = 0;

 private:
  basic_list_base* list_ = nullptr;
  QSize preferred_size_;
};

// The popup with its list of type List, a child made with the popup.
template <class List>
class addphotos_list_popup_of : public addphotos_list_popup {
 public:
  List& list() const { return *list_; }

 protected:
  addphotos_list_popup_of(flow_popup_kind kind, QWidget* owner)
      : addphotos_list_popup(kind, owner), list_(new List(this)) {
    attach_list(list_);
  }

 private:
  List* const list_;
};

// The list of such a popup, rows of type Row: control id 110, no header, no
// horizontal scroll bar, hot rows, never the focus or the mouse, so that its
// popup keeps them. T derives from it as from basic_list<T>.
template <class T, class Row>
class addphotos_popup_list : public basic_list<T> {
 public:
  int row_count() const { return static_cast<int>(rows_.size()); }

 protected:
  addphotos_popup_list(QWidget* parent, const QString& first_column, const QString& second_column)
      : basic_list<T>(parent) {
    set_control_id(*this, 110);
    this->set_show_header(false);
    this->set_take_focus_on_click(false);
    this->set_horizontal_scroll(false);
    this->set_hot_tracking(true);
    this->add_column(first_column);
    this->add_column(second_column);
  }

  const std::vector<Row>& rows() const { return rows_; }
  // Null for a row outside the list.
  const Row* row_at(int row) const {
    return row >= 0 && row < row_count() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
  }
  // Frees the rows ahead of a refill, before anything can paint: the old
  // and the new rows, each a copy of up to every saved contact, are never
  // held at once.
  void release_rows() { std::vector<Row>().swap(rows_); }
  // Forgets the selection and shows the new rows from the first; the row
  // under the mouse stays hot while the new rows still reach it.
  void replace_rows(std::vector<Row> rows) {
    this->clear_selection();
    rows_ = std::move(rows);
    this->row_added();
    this->ensure_visible(0, -1);
  }

 private:
  std::vector<Row> rows_;
};

}  // namespace parvel
