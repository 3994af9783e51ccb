#pragma once

#include "ui/addphotos/addphotos_list_popup.hpp"
#include "ui/controls/add_control_dispose.hpp"

namespace parvel {

class addphotos_resize_list;

// The "Resize" drop-down: a click on a size other than the current one
// makes it the resize option manager's current option and raises the
// manager's signal; a band, the current size or any other click only hides
// the popup. The action panel owns it and releases it from a posted call.
// UI thread only.
class addphotos_resize_popup : public addphotos_list_popup,
                               public add_control_dispose<addphotos_resize_popup> {
 public:
  explicit addphotos_resize_popup(QWidget* owner);
  ~addphotos_resize_popup() override;

  addphotos_resize_list& list() const { return *list_; }

 private:
  void on_list_click(const basic_list_notification& record) override;

  addphotos_resize_list* list_;
};

}  // namespace parvel
