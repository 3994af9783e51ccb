#include "ui/addphotos/addphotos_list_popup.hpp"

#include <QResizeEvent>

#include "ui/addphotos/addphotos_convert_rows.hpp"
#include "ui/controls/basic_list_base.hpp"
#include "ui/controls/basic_list_notification.hpp"

namespace parvel {

addphotos_list_popup::addphotos_list_popup(flow_popup_kind kind, QWidget* owner)
    : basic_flow_popup(kind, owner) {}

addphotos_list_popup::~addphotos_list_popup() = default;

void addphotos_list_popup::attach_list(basic_list_base* list) {
  list_ = list;
  list_->hide();
  connect(list_, &basic_list_base::signal_notify, this,
          [this](const basic_list_notification& record) {
            if (record.code == notify_click || record.code == notify_right_click)
              on_list_click(record);
          });
}

void addphotos_list_popup::fit_option_columns(int mark_width, int rows) {
  list_->set_column_width(0, mark_width);
  list_->set_column_width(1, static_cast<int>(1.4 * list_->auto_size_width(1)));
  preferred_size_ = option_popup_size(list_->total_width(), rows, list_->row_height());
}

void addphotos_list_popup::resizeEvent(QResizeEvent* event) {
  basic_flow_popup::resizeEvent(event);
  const QRect client = contentsRect();
  if (client.isEmpty())
    return;
  list_->setGeometry(client);
  list_->show();
  list_placed(client);
}

}  // namespace parvel
