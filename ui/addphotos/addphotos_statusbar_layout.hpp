#pragma once

#include <QPoint>
#include <QSize>
#include <vector>

namespace parvel {

// A field's window: its measured text with a pixel of margin all round, or
// nothing for an empty text.
QSize status_field_size(QSize text_size);
// A measured text's size with the room its rendering may overhang (1.1 each
// way, truncated).
QSize status_text_size(qreal width, qreal height);

// The fields placed left to right from x 2 at y 2, one pixel apart; an empty
// field still takes its pixel.
struct status_bar_layout {
  std::vector<QPoint> fields;
  int content_width;  // 1 + the sum of (field width + 1)
  int tallest;
};
status_bar_layout layout_status_bar(const std::vector<QSize>& fields);

// The bar's height for its tallest field; 0 (keep the last size) when every
// field is empty.
int status_bar_height(int tallest);

}  // namespace parvel
