#include "ui/addphotos/recipients/cut_note_place.hpp"

#include <algorithm>

#include "ui/addphotos/addphotos_panel_alt_layout.hpp"

namespace parvel {

QRect cut_note_place(const QRect& field, QSize note, const QRect& window,
                     const std::vector<QRect>& controls) {
  const QRect under = popup_rect_under(field, note);
  const QRect above(QPoint(field.left(), field.top() - note.height()), note);
  for (const QRect& place : {under, above}) {
    const bool free =
        std::none_of(controls.begin(), controls.end(),
                     [&place](const QRect& control) { return control.intersects(place); });
    if (free && window.contains(place))
      return place;
  }
  return under;
}

}  // namespace parvel
