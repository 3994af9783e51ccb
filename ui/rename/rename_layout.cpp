#include "ui/rename/rename_layout.hpp"

#include <algorithm>

namespace parvel {

namespace {

int times(int value, double factor) {
  return static_cast<int>(value * factor);
}

}  // namespace

QSize text_field_size(QSize w_size) {
  return {8 * w_size.width(), times(w_size.height(), 1.5)};
}

counter_item_measure measure_counter_item(QSize www_size, QSize start_label, QSize digits_label) {
  counter_item_measure m;
  m.field = QSize(times(www_size.width(), 1.4), times(www_size.height(), 1.5));
  m.label_column = std::max(start_label.width(), digits_label.width());
  m.row_height = std::max({start_label.height(), digits_label.height(), m.field.height()});
  m.preferred =
      QSize(times(m.field.width() + m.label_column + 6, 1.05), times(2 * m.row_height + 6, 1.05));
  return m;
}

counter_item_layout layout_counter_item(const counter_item_measure& m, int label_offset,
                                        int client_height) {
  const int x = label_offset + 2;
  const int block = 2 * m.row_height + 2;
  const int y = (client_height - block) / 2;
  const int second = y + m.row_height + 2;
  const int field_x = x + m.label_column + 2;
  counter_item_layout p;
  p.start_label = QRect(x, y, m.label_column, m.row_height);
  p.start_field =
      QRect(field_x, y + (m.row_height - m.field.height()) / 2, m.field.width(), m.field.height());
  p.digits_label = QRect(x, second, m.label_column, m.row_height);
  p.digits_field = QRect(field_x, second + (m.row_height - m.field.height()) / 2, m.field.width(),
                         m.field.height());
  return p;
}

item_measure measure_item(QSize preferred, QSize name_label) {
  item_measure m;
  m.empty = preferred.width() * preferred.height() == 0;
  m.label_offset = name_label.width() + 4;
  m.size =
      QSize(preferred.width() + m.label_offset, std::max(preferred.height(), name_label.height()));
  return m;
}

QRect item_label_place(QSize name_label, int client_height) {
  return {QPoint(2, (client_height - name_label.height()) / 2), name_label};
}

QSize unit_size(const std::vector<QSize>& item_sizes, QSize title, int min_height) {
  int widest = 0;
  int tallest = 0;
  for (const QSize& size : item_sizes) {
    widest = std::max(widest, size.width());
    tallest = std::max(tallest, size.height());
  }
  return {times(widest, 1.1), std::max(times(title.height() + tallest, 1.1), min_height)};
}

QRect unit_item_place(QSize unit, QSize item, int title_height) {
  return {QPoint((unit.width() - item.width()) / 2,
                 title_height + (unit.height() - item.height() - title_height) / 2),
          item};
}

QRect unit_body(QSize unit) {
  return {1, 1, unit.width() - 3, unit.height() - 2};
}

rename_popup_layout layout_rename_popup(const rename_popup_layout_input& in) {
  rename_popup_layout p;
  const int list_height = times(in.list_text.height(), 1.3);
  const int header = std::max(in.label.height(), list_height);

  int total = 0;
  p.unit_height = 0;
  for (const QSize& unit : in.units) {
    total += unit.width() + 4;
    p.unit_height = std::max(p.unit_height, unit.height());
  }
  const int preview_y = p.unit_height + header + 24;
  p.preview_origin = QPoint(4, preview_y);
  p.preferred = QSize(total + 4, times(preview_y, 1.8));

  if (in.client.isEmpty())
    return p;
  const int w = in.client.width();
  const int h = in.client.height();
  p.label = QRect(8, 4, in.label.width(), header);
  p.list = QRect(8 + in.label.width() + 4, 4, w - in.label.width() - 16, list_height);
  int x = 4;
  for (const QSize& unit : in.units) {
    p.units.emplace_back(QPoint(x, list_height + 16), QSize(unit.width(), p.unit_height));
    x += unit.width() + 4;
  }
  const QSize apply(in.apply_text.width() + 48, times(in.apply_text.height(), 1.5));
  const QSize reset(in.reset_text.width() + 48, times(in.reset_text.height(), 1.5));
  p.apply = QRect(QPoint(w - 4 - apply.width(), h - 4 - apply.height()), apply);
  p.reset = QRect(QPoint(4, h - 4 - reset.height()), reset);
  return p;
}

preview_layout layout_preview(QRect content, QPoint origin, int heading_height, int widest_name,
                              int tallest_name, QSize arrow, int rows) {
  preview_layout p;
  const int column = std::max(0, std::min(widest_name, content.width() / 2 - arrow.width() - 4));
  const int row_height = std::max(tallest_name, arrow.height());
  p.heading = QRect(origin.x(), origin.y(), content.right() + 1 - origin.x(), heading_height);
  int y = p.heading.bottom() + 1 + 4;
  const int result_x = content.left() + column + arrow.width() + 8;
  for (int i = 0; i < rows; ++i) {
    preview_row_layout row;
    row.name = QRect(content.left(), y, column, row_height);
    row.arrow =
        QRect(QPoint(content.left() + column + 4, y + (row_height - arrow.height()) / 2), arrow);
    row.result = QRect(result_x, y, content.right() + 1 - result_x, row_height);
    p.rows.push_back(row);
    y += row_height + 4;
  }
  return p;
}

}  // namespace parvel
