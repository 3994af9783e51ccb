#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"

#include <algorithm>
#include <vector>

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
  // A window made smaller cuts the popup: the chosen row stays whole in view.
  if (const std::vector<int> selected = list().selected_rows(); !selected.empty())
    list().ensure_visible(selected.front(), 0);
}

void addphotos_contact_popup::move_selection(int step) {
  const int count = list().row_count();
  if (count == 0)
    return;
  const std::vector<int> selected = list().selected_rows();
  const int row = selected.empty() ? (step > 0 ? 0 : count - 1)
                                   : std::clamp(selected.front() + step, 0, count - 1);
  list().select(row, 0);
  list().ensure_visible(row, 0);
}

bool addphotos_contact_popup::choose_selected() {
  const std::vector<int> selected = list().selected_rows();
  if (selected.empty())
    return false;
  // Shown as taken, even where the popup is cut to a sliver.
  list().ensure_visible(selected.front(), 0);
  choose(selected.front());
  hide_popup();
  return true;
}

void addphotos_contact_popup::on_list_click(const basic_list_notification& record) {
  if (record.row != -1 && record.row < list().row_count()) {
    if (record.column == 0)
      choose(record.row);
    else if (record.column == 1)
      user::instance()->remove_contact(list().contacts()[static_cast<std::size_t>(record.row)]);
  }
  hide_popup();
}

void addphotos_contact_popup::choose(int row) {
  // A copy: the slots change the field, which refilters this very list.
  const std::string contact = list().contacts()[static_cast<std::size_t>(row)];
  signal_contact_selected(contact);
}

}  // namespace parvel
