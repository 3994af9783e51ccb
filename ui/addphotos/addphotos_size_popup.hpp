#pragma once

#include <QSize>

#include "ui/controls/add_control_dispose.hpp"
#include "ui/controls/basic_flow_popup.hpp"

namespace parvel {

class addphotos_resize_list;
struct basic_list_notification;

// The "Resize" drop-down: a click on a size other than the current one
// makes it the resize option manager's current option and raises the
// manager's signal; a band, the current size or any other click only hides
// the popup. The action panel owns it and releases it from a posted call.
// UI thread only.
class addphotos_resize_popup : public basic_flow_popup,
                               public add_control_dispose<addphotos_resize_popup> {
 public:
  explicit addphotos_resize_popup(QWidget* owner);
  ~addphotos_resize_popup() override;

  addphotos_resize_list& list() const { return *list_; }
  QSize preferred_size() const { return preferred_size_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void on_list_click(const basic_list_notification& record);

  addphotos_resize_list* list_;
  QSize preferred_size_;
};

}  // namespace parvel
