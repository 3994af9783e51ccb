#include "ui/addphotos/recipients/addphotos_contact_list.hpp"

#include <QPainter>
#include <QPainterPathStroker>

#include "engine/user/user.hpp"
#include "ui/addphotos/recipients/addphotos_contact_match.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"

namespace parvel {

namespace {

const QColor match_colour(224, 126, 56);
const QColor cross_hot(0xFF, 0, 0);
const QColor cross_cold(0x80, 0, 0);
const QColor glyph_outline(0xAC, 0xAC, 0xAC);

}  // namespace

addphotos_contact_list::addphotos_contact_list(QWidget* parent)
    : addphotos_popup_list(parent, QStringLiteral("Name"), QStringLiteral("X")) {
  set_vertical_scroll(false);
  // Enter in the field takes the selected row: the highlighted one must be it.
  set_pointer_chooses(true);
}

void addphotos_contact_list::set_filter(const std::string& text) {
  filter_ = text;
  release_rows();
  std::vector<std::string> found;
  user::instance()->find_contacts(text, found);
  replace_rows(std::move(found));
}

QString addphotos_contact_list::cell_text(int row, int column_id) const {
  const std::string* const contact = row_at(row);
  return contact && column_id == 0 ? QString::fromStdString(*contact) : QString();
}

int addphotos_contact_list::cell_kind(int row, int column_id) const {
  if (row < 0)
    return list_kind_text;
  switch (column_id) {
    case 0:
      return list_kind_own_text;
    case 1:
      return list_kind_own_cell;
    default:
      return list_kind_text;
  }
}

void addphotos_contact_list::draw_own_cell(QPainter& painter, const QRect& cell, int row,
                                           int column_id) {
  if (state().hot().row != row)
    return;
  const bool hot_cell = state().hot().column == column_id;
  const remove_glyph_geometry glyph = remove_glyph_in(cell);
  set_high_quality(painter);
  // Through pixel centres, centred in the outline. Filled as an outline
  // because Qt's 1-pixel pen splits a diagonal over two pixels a row at half
  // strength; the filled stroke keeps the cross's colour on the centres.
  const QRect& cross = glyph.cross;
  QPainterPath lines;
  lines.moveTo(pixel_centre(cross.topLeft()));
  lines.lineTo(pixel_centre({cross.left() + cross.width(), cross.top() + cross.height()}));
  lines.moveTo(pixel_centre({cross.left(), cross.top() + cross.height()}));
  lines.lineTo(pixel_centre({cross.left() + cross.width(), cross.top()}));
  const QColor colour = hot_cell ? cross_hot : cross_cold;
  painter.fillPath(QPainterPathStroker(QPen(colour, 1.0)).createStroke(lines), colour);
  if (hot_cell) {
    const QRect& square = glyph.square;
    painter.setPen(QPen(glyph_outline, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(make_rounded_rect_path(
        square.topLeft(), QPoint(square.left() + square.width(), square.top() + square.height()),
        30, 0));
  }
}

void addphotos_contact_list::draw_own_text(QPainter& painter, const QRect& text, int row,
                                           int column_id) {
  const QString contact = cell_text(row, column_id);
  const QColor normal = painter.pen().color();
  const QFontMetrics metrics(painter.font());
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  const std::vector<contact_piece> pieces =
      contact_pieces(contact, QString::fromStdString(filter_));
  int x = text.left();
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const QString piece = contact.mid(pieces[i].start, pieces[i].length);
    painter.setPen(pieces[i].matched ? match_colour : normal);
    if (i + 1 == pieces.size()) {
      // Only the last piece ends in an ellipsis.
      const QRect rest(x, text.top(), std::max(text.right() + 1 - x, 0), text.height());
      painter.drawText(rest, flags, metrics.elidedText(piece, Qt::ElideRight, rest.width()));
    } else {
      const int width = metrics.horizontalAdvance(piece);
      painter.drawText(QRect(x, text.top(), width, text.height()), flags, piece);
      x += width;
    }
  }
}

}  // namespace parvel
