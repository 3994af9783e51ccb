#include "ui/addphotos/addphotos_resize_popup.hpp"

#include <exception>

#include "engine/options/resize_option_manager.hpp"
#include "ui/addphotos/addphotos_resize_list.hpp"
#include "ui/controls/basic_list_notification.hpp"

namespace parvel {

namespace {

constexpr int mark_column_width = 32;

}  // namespace

addphotos_resize_popup::addphotos_resize_popup(QWidget* owner)
    : addphotos_list_popup_of(flow_popup_kind::option, owner) {
  list().fill();
  fit_option_columns(mark_column_width, list().row_count());
}

void addphotos_resize_popup::on_list_click(const basic_list_notification& record) {
  if (record.row != -1 && record.column != -1 && !list().is_group_row(record.row)) {
    try {
      const photo_resize_option chosen = list().option_at(record.row);
      resize_option_manager& manager = *resize_option_manager::instance();
      if (!same_size_option(chosen, manager.current())) {
        manager.set_current(chosen);
        manager.signal_option_changed(chosen);
      }
    } catch (const std::exception&) {
      // The choice is dropped; the popup still closes.
    }
  }
  hide_popup();
}

}  // namespace parvel
