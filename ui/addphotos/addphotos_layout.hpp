#pragma once

#include <QRect>
#include <QSize>
#include <optional>

namespace parvel {

// What the page's layout measures: texts in their fonts and the panels'
// own heights (0 for a panel the page does not have).
struct addphotos_layout_input {
  QSize client;
  QSize label_text;          // the widest and the tallest of the five labels' texts
  int from_label_width = 0;  // the From label's text
  int edit_text_height = 0;  // "TEXT" in the To edit's font
  QSize send_text;           // the Send button's text in its font
  int status_bar_height = 0;
  int action_panel_height = 0;  // twice the height of the panel's "|" separator
};

struct addphotos_layout {
  int row_height = 0;
  int field_width = 0;
  QRect to_label, from_label, subject_label, message_label, counter, photos_label;
  QRect to_edit, from_edit, subject_edit, message_edit;
  QRect checkbox, edit_panel, send, list, action_panel, logo_panel;
  QPoint status_bar;  // its top left; it keeps its own size
};

// The places of the page's controls, in page coordinates; nothing for an
// empty client area (everything stays where it was).
std::optional<addphotos_layout> layout_addphotos_page(const addphotos_layout_input& input);

// The client height at which the page's photo list is list_height high, in
// the fonts and panels measured (the client size in input is not read).
int addphotos_height_for_list(const addphotos_layout_input& input, int list_height);

// The photo list's two column widths for its width, less its vertical
// scroll bar while that shows.
std::pair<int, int> photo_column_widths(int field_width, int scroll_bar_width);

}  // namespace parvel
