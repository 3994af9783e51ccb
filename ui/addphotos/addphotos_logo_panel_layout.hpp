#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>

namespace parvel {

// Where the logo panel draws: the logo at the left, centred vertically (its
// rectangle is the link), the headline from the logo's middle and its
// addition right after it, both sitting on the bottom edge.
struct logo_panel_layout {
  QRect link;
  QPointF headline;
  QPointF addition;
};
logo_panel_layout layout_logo_panel(QSize client, QSize logo, QSizeF headline, QSizeF addition);

}  // namespace parvel
