#pragma once

#include "ui/addphotos/addphotos_list_popup.hpp"

namespace parvel {

class addphotos_convert_list;

// The "Format" drop-down: a click on a format makes it the convert option
// manager's current option and raises the manager's signal, also when it
// was current already; any click hides the popup. The action panel owns it
// and releases it from a posted call. UI thread only.
class addphotos_convert_popup : public addphotos_list_popup_of<addphotos_convert_list> {
 public:
  explicit addphotos_convert_popup(QWidget* owner);

 private:
  void on_list_click(const basic_list_notification& record) override;
};

}  // namespace parvel
