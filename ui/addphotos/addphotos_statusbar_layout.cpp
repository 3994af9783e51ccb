#include "ui/addphotos/addphotos_statusbar_layout.hpp"

#include <algorithm>

namespace parvel {

QSize status_field_size(QSize text_size) {
  if (text_size.isEmpty())
    return {0, 0};
  return {text_size.width() + 2, text_size.height() + 2};
}

QSize status_text_size(qreal width, qreal height) {
  return {static_cast<int>(width * 1.1), static_cast<int>(height * 1.1)};
}

status_bar_layout layout_status_bar(const std::vector<QSize>& fields) {
  status_bar_layout places{{}, 1, 0};
  int x = 2;
  for (const QSize& field : fields) {
    places.fields.emplace_back(x, 2);
    x += field.width() + 1;
    places.content_width += field.width() + 1;
    places.tallest = std::max(places.tallest, field.height());
  }
  return places;
}

int status_bar_height(int tallest) {
  return tallest == 0 ? 0 : tallest + 3;
}

}  // namespace parvel
