#pragma once

#include <QRect>
#include <QString>
#include <vector>

namespace parvel {

// A piece of a contact as the contact list draws it: the typed text's
// occurrences in orange, the rest in the normal text colour.
struct contact_piece {
  int start = 0;
  int length = 0;
  bool matched = false;
  friend bool operator==(const contact_piece&, const contact_piece&) = default;
};

// The contact cut at every case-sensitive occurrence of filter, in order;
// the whole text unmatched for an empty filter. Empty pieces are left out.
std::vector<contact_piece> contact_pieces(const QString& text, const QString& filter);

// The removal cross of the hot row in a cell: the outlined square, four
// pixels in from the cell's shorter side, and the square the cross spans,
// a third of that side in; both centred in the cell.
struct remove_glyph_geometry {
  QRect square;
  QRect cross;
  friend bool operator==(const remove_glyph_geometry&, const remove_glyph_geometry&) = default;
};
remove_glyph_geometry remove_glyph_in(const QRect& cell);

}  // namespace parvel
