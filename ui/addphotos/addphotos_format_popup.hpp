#pragma once

#include <QSize>

#include "ui/controls/add_control_dispose.hpp"
#include "ui/controls/basic_flow_popup.hpp"

namespace parvel {

class addphotos_convert_list;
struct basic_list_notification;

// The "Format" drop-down: a click on a format makes it the convert option
// manager's current option and raises the manager's signal, also when it
// was current already; any click hides the popup. The action panel owns it
// and releases it from a posted call. UI thread only.
class addphotos_convert_popup : public basic_flow_popup,
                                public add_control_dispose<addphotos_convert_popup> {
 public:
  explicit addphotos_convert_popup(QWidget* owner);
  ~addphotos_convert_popup() override;

  addphotos_convert_list& list() const { return *list_; }
  QSize preferred_size() const { return preferred_size_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void on_list_click(const basic_list_notification& record);

  addphotos_convert_list* list_;
  QSize preferred_size_;
};

}  // namespace parvel
