#include "ui/addphotos/addphotos_panel_alt_layout.hpp"

namespace parvel {

namespace {

QRect centred_vertically(const QRect& client, int x, QSize size) {
  return QRect(x, (client.height() - size.height()) / 2 + client.top(), size.width(),
               size.height());
}

}  // namespace

panel_alt_layout layout_panel_alt(const panel_alt_layout_input& in) {
  const QRect& c = in.client;
  const QSize separator(static_cast<int>(in.separator_text.width() * 5.0),
                        in.separator_text.height());
  const int w = separator.width();
  panel_alt_layout out;
  const int left = c.left();
  out.add_files = centred_vertically(c, left, in.add_files);
  out.separators[0] = centred_vertically(c, left + in.add_files.width(), separator);
  out.add_folder = centred_vertically(c, left + in.add_files.width() + w, in.add_folder);
  // Win32 right edges are exclusive.
  int x = c.left() + c.width() - in.rename.width();
  out.rename = centred_vertically(c, x, in.rename);
  x -= w;
  out.separators[1] = centred_vertically(c, x, separator);
  x -= in.format.width();
  out.format = centred_vertically(c, x, in.format);
  x -= w;
  out.separators[2] = centred_vertically(c, x, separator);
  x -= in.resize.width();
  out.resize = centred_vertically(c, x, in.resize);
  return out;
}

QRect popup_rect_under(const QRect& anchor, QSize size) {
  return QRect(QPoint(anchor.left(), anchor.top() + anchor.height() + 1), size);
}

int rename_popup_x(int x, int popup_width, int parent_right) {
  const int overflow = popup_width / 20 - parent_right + x + popup_width;
  return overflow > 0 ? x - overflow : x;
}

}  // namespace parvel
