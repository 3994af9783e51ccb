#include "ui/addphotos/addphotos_format_popup.hpp"

#include <QResizeEvent>
#include <exception>

#include "engine/options/convert_option_manager.hpp"
#include "ui/addphotos/addphotos_format_list.hpp"
#include "ui/addphotos/addphotos_format_rows.hpp"
#include "ui/controls/basic_list_notification.hpp"

namespace parvel {

addphotos_convert_popup::addphotos_convert_popup(QWidget* owner)
    : basic_flow_popup(flow_popup_kind::option, owner), list_(new addphotos_convert_list(this)) {
  list_->hide();
  connect(list_, &basic_list_base::signal_notify, this,
          [this](const basic_list_notification& record) {
            if (record.code == notify_click || record.code == notify_right_click)
              on_list_click(record);
          });
  list_->load_options();
  // The dot sits in a square cell.
  list_->set_column_width(0, list_->row_height());
  list_->set_column_width(1, static_cast<int>(1.4 * list_->auto_size_width(1)));
  preferred_size_ =
      option_popup_size(list_->total_width(), list_->row_count(), list_->row_height());
}

addphotos_convert_popup::~addphotos_convert_popup() = default;

void addphotos_convert_popup::resizeEvent(QResizeEvent* event) {
  basic_flow_popup::resizeEvent(event);
  const QRect client = contentsRect();
  if (client.isEmpty())
    return;
  list_->setGeometry(client);
  list_->show();
}

void addphotos_convert_popup::on_list_click(const basic_list_notification& record) {
  if (record.row != -1 && record.column != -1) {
    try {
      convert_option_manager& manager = *convert_option_manager::instance();
      manager.set_current(list_->get_option(record.row));
      manager.signal_option_changed(manager.current());
    } catch (const std::exception&) {
      // The choice is dropped; the popup still closes.
    }
  }
  hide_popup();
}

}  // namespace parvel
