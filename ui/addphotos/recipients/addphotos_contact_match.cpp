#include "ui/addphotos/recipients/addphotos_contact_match.hpp"

#include <algorithm>

namespace parvel {

std::vector<contact_piece> contact_pieces(const QString& text, const QString& filter) {
  std::vector<contact_piece> pieces;
  const auto add = [&pieces](qsizetype start, qsizetype length, bool matched) {
    if (length > 0)
      pieces.push_back({static_cast<int>(start), static_cast<int>(length), matched});
  };
  qsizetype position = 0;
  if (!filter.isEmpty()) {
    for (qsizetype found = text.indexOf(filter, 0, Qt::CaseSensitive); found != -1;
         found = text.indexOf(filter, position, Qt::CaseSensitive)) {
      add(position, found - position, false);
      add(found, filter.size(), true);
      position = found + filter.size();
    }
  }
  add(position, text.size() - position, false);
  return pieces;
}

namespace {

QRect centred(const QRect& cell, int side, int inset) {
  const int inner = std::max(side - 2 * inset, 0);
  return QRect(cell.left() + (cell.width() - inner) / 2, cell.top() + (cell.height() - inner) / 2,
               inner, inner);
}

}  // namespace

remove_glyph_geometry remove_glyph_in(const QRect& cell) {
  const int side = std::min(cell.width(), cell.height());
  return {centred(cell, side, 4), centred(cell, side, side / 3)};
}

}  // namespace parvel
