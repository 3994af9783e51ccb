#pragma once

#include <QString>
#include <QStringList>

namespace parvel {

// How every cell of a column is drawn and how it reacts, unless the derived
// list answers the kind per cell.
enum basic_list_kind : int {
  list_kind_text = 0,
  list_kind_blank = 2,
  list_kind_check = 4,  // check image; state 1 only for the exact text "true"
  list_kind_blank_image = 5,
  list_kind_link = 6,       // hot text in the link colour, underlined
  list_kind_underline = 7,  // hot text underlined
  list_kind_own_cell = 8,   // drawn by the derived list in the whole cell
  list_kind_own_text = 9,   // drawn by the derived list in the text rectangle
  list_kind_group = 10,     // the rest of the row is a group band; never selected
};

enum basic_list_flag : int {
  list_align_left = 1,
  list_align_right = 2,
  list_align_centre = 4,
  list_inert = 8,  // no hot tracking, check toggle, link action or underline
};

struct basic_list_column {
  QString caption;
  int width = 0;
  bool fixed = false;  // the width cannot be changed
  int kind = list_kind_text;
  int flags = 0;
  int reserved = -1;
  // The column count when it was added; columns are never reordered, so id
  // and position agree, but cells are asked for by id.
  int id = 0;
  QStringList reserved_texts;
};

}  // namespace parvel
