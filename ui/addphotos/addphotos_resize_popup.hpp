#pragma once

#include "ui/addphotos/addphotos_list_popup.hpp"

namespace parvel {

class addphotos_resize_list;

// The "Resize" drop-down: a click on a size other than the current one
// makes it the resize option manager's current option and raises the
// manager's signal; a band, the current size or any other click only hides
// the popup. The action panel owns it and releases it from a posted call.
// UI thread only.
class addphotos_resize_popup : public addphotos_list_popup_of<addphotos_resize_list> {
 public:
  explicit addphotos_resize_popup(QWidget* owner);

 private:
  void on_list_click(const basic_list_notification& record) override;
};

}  // namespace parvel
