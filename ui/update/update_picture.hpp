#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <array>

namespace parvel {

// The areas of the update page's picture, from measured text sizes. A page
// narrower than its margins gives empty areas, never negative sizes.

// The header's area: the page inset by half the width of "TEXT" left and
// right and by its height at top and bottom.
QRectF header_area(QSizeF client, QSizeF text_size);
// The body's area: the header's, inset by a further width of "TEXT".
QRectF body_area(const QRectF& header, qreal text_width);
// The body's measured box moved below the header's by twice its height.
QRectF body_box(const QRectF& measured_body, qreal header_height);
// The release-notes panel under the body: as far from the right edge as
// the body is from the left, half the page high.
QRectF notes_panel(const QRectF& body, QSizeF client);
// Where the notes are drawn inside the panel.
QRectF notes_text_area(const QRectF& panel);

// A downward arrow in the box (x1, y1)-(x2, y2): a shaft of width
// (1 - 2 fx) x half the box over the top fy of the box, then a head to the
// bottom centre. Seven points in drawing order.
std::array<QPointF, 7> arrow_points(float fx, float fy, float x1, float y1, float x2, float y2);
// Those points as one closed polygon.
QPainterPath make_arrow_path(float fx, float fy, float x1, float y1, float x2, float y2);

}  // namespace parvel
