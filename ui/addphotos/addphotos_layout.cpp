#include "ui/addphotos/addphotos_layout.hpp"

#include <algorithm>

namespace parvel {

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
  const int rowH =
      std::max(input.label_text.height(), static_cast<int>(1.5 * input.edit_text_height));
  const int gap = static_cast<int>(0.4 * rowH);
  const int fieldW = W - 2 * m - labelW;
  const int fx = m + labelW + 5;
  const int w30 = static_cast<int>(0.3 * fieldW);
  const int fromW = input.from_label_width;
  const int editW = fieldW - w30 - fromW - 16;
  out.row_height = rowH;
  out.field_width = fieldW;

  const int sendW = input.send_text.width() + 64;
  const int sendH = static_cast<int>(1.5 * input.send_text.height());
  const int sendY = (H - sbH) - sendH - 16;

  const int y0 = 78;
  const int y1 = y0 + rowH + gap;
  const int y2 = y1 + rowH + gap;
  const int y3 = y2 + rowH + gap;
  const int y4 = y3 + rowH + gap;
  const int y5 = y3 + 3 * rowH + gap;
  const int y6 = y5 + rowH + gap;
  const int yL = y6 + input.action_panel_height;
  int listH = sendY - rowH / 2 - yL;
  if (listH < 0)
    listH = 5 * rowH;

  out.to_label = QRect(m, y0, labelW, rowH);
  out.from_label = QRect(m, y1, labelW, rowH);
  out.subject_label = QRect(m, y2, labelW, rowH);
  out.message_label = QRect(m, y3, labelW, rowH);
  out.counter = QRect(m, y4, labelW, rowH);
  out.photos_label = QRect(m, yL, labelW, rowH);
  out.to_edit = QRect(fx, y0, editW, rowH);
  out.from_edit = QRect(fx, y1, editW, rowH);
  out.subject_edit = QRect(fx, y2, editW, rowH);
  out.message_edit = QRect(fx, y3, editW, 3 * rowH);
  out.checkbox = QRect(fx, y5, editW, rowH);
  out.edit_panel = QRect(fx + editW + 16, y0, w30 + fromW, y3 + 3 * rowH - y0);
  out.send = QRect(W - m - sendW, sendY, sendW, sendH);
  out.list = QRect(fx, yL, fieldW, listH);
  out.action_panel = QRect(fx, y6, fieldW, input.action_panel_height);
  out.logo_panel = QRect(0, 0, W, 56);
  return out;
}

std::pair<int, int> photo_column_widths(int field_width, int scroll_bar_width) {
  const int name = static_cast<int>(0.6 * field_width);
  return {name, field_width - name - scroll_bar_width};
}

}  // namespace parvel
