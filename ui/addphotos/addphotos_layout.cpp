#include "ui/addphotos/addphotos_layout.hpp"

#include <algorithm>

namespace parvel {

namespace {

// The page's rows from the top, which depend on the fonts and panels only.
struct addphotos_rows {
  int row_height;
  int gap;
  int y0, y1, y2, y3, y4, y5, y6, list_top;
  int send_height;
};

addphotos_rows layout_rows(const addphotos_layout_input& input) {
  addphotos_rows r{};
  r.row_height =
      std::max(input.label_text.height(), static_cast<int>(1.5 * input.edit_text_height));
  r.gap = static_cast<int>(0.4 * r.row_height);
  r.y0 = 78;
  r.y1 = r.y0 + r.row_height + r.gap;
  r.y2 = r.y1 + r.row_height + r.gap;
  r.y3 = r.y2 + r.row_height + r.gap;
  r.y4 = r.y3 + r.row_height + r.gap;
  r.y5 = r.y3 + 3 * r.row_height + r.gap;
  r.y6 = r.y5 + r.row_height + r.gap;
  r.list_top = r.y6 + input.action_panel_height;
  r.send_height = static_cast<int>(1.5 * input.send_text.height());
  return r;
}

// The list ends half a row above the Send button, which sits 16 pixels above
// the status bar.
int list_bottom_margin(const addphotos_layout_input& input, const addphotos_rows& r) {
  return input.status_bar_height + r.send_height + 16 + r.row_height / 2;
}

}  // namespace

std::optional<addphotos_layout> layout_addphotos_page(const addphotos_layout_input& input) {
  const int W = input.client.width();
  const int H = input.client.height();
  if (W <= 0 || H <= 0)
    return std::nullopt;

  addphotos_layout out;
  const int sbH = input.status_bar_height;
  out.status_bar = QPoint(0, H - sbH);

  const int m = W / 40;
  const int labelW = input.label_text.width();
  const addphotos_rows r = layout_rows(input);
  const int rowH = r.row_height;
  const int fieldW = W - 2 * m - labelW;
  const int fx = m + labelW + 5;
  const int w30 = static_cast<int>(0.3 * fieldW);
  const int fromW = input.from_label_width;
  const int editW = fieldW - w30 - fromW - 16;
  out.row_height = rowH;
  out.field_width = fieldW;

  const int sendW = input.send_text.width() + 64;
  const int sendH = r.send_height;
  const int sendY = (H - sbH) - sendH - 16;

  int listH = H - list_bottom_margin(input, r) - r.list_top;
  if (listH < 0)
    listH = 5 * rowH;

  out.to_label = QRect(m, r.y0, labelW, rowH);
  out.from_label = QRect(m, r.y1, labelW, rowH);
  out.subject_label = QRect(m, r.y2, labelW, rowH);
  out.message_label = QRect(m, r.y3, labelW, rowH);
  out.counter = QRect(m, r.y4, labelW, rowH);
  out.photos_label = QRect(m, r.list_top, labelW, rowH);
  out.to_edit = QRect(fx, r.y0, editW, rowH);
  out.from_edit = QRect(fx, r.y1, editW, rowH);
  out.subject_edit = QRect(fx, r.y2, editW, rowH);
  out.message_edit = QRect(fx, r.y3, editW, 3 * rowH);
  out.checkbox = QRect(fx, r.y5, editW, rowH);
  out.edit_panel = QRect(fx + editW + 16, r.y0, w30 + fromW, r.y3 + 3 * rowH - r.y0);
  out.send = QRect(W - m - sendW, sendY, sendW, sendH);
  out.list = QRect(fx, r.list_top, fieldW, listH);
  out.action_panel = QRect(fx, r.y6, fieldW, input.action_panel_height);
  out.logo_panel = QRect(0, 0, W, 56);
  return out;
}

int addphotos_height_for_list(const addphotos_layout_input& input, int list_height) {
  const addphotos_rows r = layout_rows(input);
  return r.list_top + list_height + list_bottom_margin(input, r);
}

std::pair<int, int> photo_column_widths(int field_width, int scroll_bar_width) {
  const int name = static_cast<int>(0.6 * field_width);
  return {name, field_width - name - scroll_bar_width};
}

}  // namespace parvel
