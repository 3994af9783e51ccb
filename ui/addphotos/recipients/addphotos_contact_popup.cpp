#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"

#include "engine/user/user.hpp"
#include "ui/addphotos/recipients/addphotos_contact_list.hpp"
#include "ui/controls/basic_list_notification.hpp"

namespace parvel {

namespace {

// The removal cross's column.
constexpr int cross_width = 24;

}  // namespace

QSize contact_popup_size(int total_width, int header_height, int rows, int row_height) {
  int cx = total_width;
  if (cx != 0)
    cx += 2;
  int cy = header_height + rows * row_height;
  if (cy != 0)
    cy += 2;
  return {cx, cy};
}

addphotos_contact_popup::addphotos_contact_popup(QWidget* owner)
    : addphotos_list_popup_of(flow_popup_kind::typed_past, owner) {
  list().set_filter(std::string());
  calc_size();
}

void addphotos_contact_popup::calc_size() {
  const int header = list().options().show_header ? list().header_height() : 0;
  set_preferred_size(
      contact_popup_size(list().total_width(), header, list().row_count(), list().row_height()));
}

void addphotos_contact_popup::list_placed(const QRect& client) {
  list().set_column_width(0, client.width() - cross_width);
  list().set_column_width(1, cross_width);
}

void addphotos_contact_popup::on_list_click(const basic_list_notification& record) {
  const auto& contacts = list().contacts();
  if (record.row != -1 && record.column != -1 &&
      static_cast<std::size_t>(record.row) < contacts.size()) {
    // A copy: the slots change the field, which refilters this very list.
    const std::string contact = contacts[static_cast<std::size_t>(record.row)];
    if (record.column == 0)
      signal_contact_selected(contact);
    else if (record.column == 1)
      user::instance()->remove_contact(contact);
  }
  hide_popup();
}

}  // namespace parvel
