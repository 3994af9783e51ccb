#include "ui/addphotos/addphotos_convert_popup.hpp"

#include <exception>

#include "engine/options/convert_option_manager.hpp"
#include "ui/addphotos/addphotos_convert_list.hpp"
#include "ui/controls/basic_list_notification.hpp"

namespace parvel {

addphotos_convert_popup::addphotos_convert_popup(QWidget* owner)
    : addphotos_list_popup_of(flow_popup_kind::option, owner) {
  list().load_options();
  // The dot sits in a square cell.
  fit_option_columns(list().row_height(), list().row_count());
}

void addphotos_convert_popup::on_list_click(const basic_list_notification& record) {
  if (record.row != -1 && record.column != -1) {
    try {
      convert_option_manager& manager = *convert_option_manager::instance();
      manager.set_current(list().get_option(record.row));
      manager.signal_option_changed(manager.current());
    } catch (const std::exception&) {
      // The choice is dropped; the popup still closes.
    }
  }
  hide_popup();
}

}  // namespace parvel
