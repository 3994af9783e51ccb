#pragma once

#include "ui/addphotos/addphotos_list_popup.hpp"
#include "ui/controls/add_control_dispose.hpp"

namespace parvel {

class addphotos_convert_list;

// The "Format" drop-down: a click on a format makes it the convert option
// manager's current option and raises the manager's signal, also when it
// was current already; any click hides the popup. The action panel owns it
// and releases it from a posted call. UI thread only.
class addphotos_convert_popup : public addphotos_list_popup,
                                public add_control_dispose<addphotos_convert_popup> {
 public:
  explicit addphotos_convert_popup(QWidget* owner);
  ~addphotos_convert_popup() override;

  addphotos_convert_list& list() const { return *list_; }

 private:
  void on_list_click(const basic_list_notification& record) override;

  addphotos_convert_list* list_;
};

}  // namespace parvel
