#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace parvel {

// A row of the format or size list: an option, or (size list only) a
// group band naming the kind of the options below it.
struct option_row {
  int kind = 0;  // 0 an option, 10 a group band (the list template's group kind)
  QString text;
  int option_index = -1;  // into the manager's options; -1 for a group band
  friend bool operator==(const option_row&, const option_row&) = default;
};

// The dot beside the current option: a disc of a fifth of the cell's height
// in radius, two pixels right of the cell's centre.
QRectF option_dot_rect(const QRect& cell);
void paint_option_dot(QPainter& painter, const QRect& cell);

// An option popup's size: its columns and rows plus the one-pixel border
// on both sides.
QSize option_popup_size(int total_width, int rows, int row_height);

}  // namespace parvel
