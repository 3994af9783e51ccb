#pragma once

#include <QSize>

#include "ui/controls/basic_flow_popup.hpp"

namespace parvel {

class basic_list_base;
struct basic_list_notification;

// A drop-down that is one owner-drawn list over its whole client area: the
// list stays hidden until the first layout, and its left and right clicks go
// to on_list_click. The derived popup makes the list as its child and
// attaches it. UI thread only.
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

}  // namespace parvel
