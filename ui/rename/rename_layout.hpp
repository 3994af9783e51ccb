#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace parvel {

// Sizes of the rename items and units, and places in the rename popup, from
// measured text sizes. Products are truncated toward zero.

// The text item's field from the size of "W" in its font; the item wants 4
// more each way.
QSize text_field_size(QSize w_size);

// The counter item: two rows of label and field.
struct counter_item_measure {
  QSize field;       // from "WWW" in the field's font
  int label_column;  // the wider label
  int row_height;
  QSize preferred;
};
counter_item_measure measure_counter_item(QSize www_size, QSize start_label, QSize digits_label);

struct counter_item_layout {
  QRect start_label, start_field, digits_label, digits_field;
};
counter_item_layout layout_counter_item(const counter_item_measure& metrics, int label_offset,
                                        int client_height);

// An item's whole size: its controls beside its name label.
struct item_measure {
  QSize size;
  bool empty;        // the controls need no room
  int label_offset;  // the name label's width + 4
};
item_measure measure_item(QSize preferred, QSize name_label);
// The name label, centred vertically at x 2.
QRect item_label_place(QSize name_label, int client_height);

// A unit's size from its items' sizes and its title's; the current item's
// place within it.
QSize unit_size(const std::vector<QSize>& item_sizes, QSize title, int min_height);
QRect unit_item_place(QSize unit, QSize item, int title_height);
// The body and the title band of the unit's picture.
QRect unit_body(QSize unit);

// The popup's places from its measured texts and its units' sizes.
struct rename_popup_layout_input {
  QSize label;      // "Rename Scheme:"
  QSize list_text;  // the scheme list's longer entry
  QSize apply_text;
  QSize reset_text;
  std::vector<QSize> units;
  QSize client;
};
struct rename_popup_layout {
  int unit_height;  // every unit gets this height as its minimum
  QPoint preview_origin;
  QSize preferred;
  QRect label, list;
  std::vector<QRect> units;
  QRect apply, reset;
};
rename_popup_layout layout_rename_popup(const rename_popup_layout_input& input);

// The preview's rows: name, arrow and result of each.
struct preview_row_layout {
  QRect name, arrow, result;
};
struct preview_layout {
  QRect heading;
  std::vector<preview_row_layout> rows;
};
preview_layout layout_preview(QRect content, QPoint origin, int heading_height, int widest_name,
                              int tallest_name, QSize arrow, int rows);

}  // namespace parvel
