#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

class QFont;
class QGradient;
class QLabel;
class QPainter;
class QWidget;

namespace parvel {

// A vertical two-colour gradient over the whole rectangle; one colour twice
// fills flat.
void gradient_fill_rect(QPainter& painter, const QRect& rect, const QColor& top,
                        const QColor& bottom);

// Adds a hard step at position `at` (0 to 1): `before` up to it, `after` from
// it. Qt replaces a stop at an equal position, so the two stops sit a hair
// apart.
void add_hard_step(QGradient& gradient, qreal at, const QColor& before, const QColor& after);

// Draws the source cell (source_x, 0, source_width, source_height) of a
// picture with per-pixel alpha over the destination rectangle (a strip of
// square cells holds a list's icons).
void alpha_blend(QPainter& painter, const QRect& destination, const QImage& source, int source_x,
                 int source_width, int source_height);

struct rounded_rect_metrics_t {
  int left;
  int top;
  int right;
  int bottom;
  int base;  // the length the corner is a percentage of
  int corner_width;
  int corner_height;

  bool operator==(const rounded_rect_metrics_t&) const = default;
};

// The rectangle of two corner points put in order, and its corner size:
// percentage of base, or of the shorter side when base is 0 (truncated).
rounded_rect_metrics_t rounded_rect_metrics(QPoint first, QPoint second, int percentage, int base);

// Whole coordinates of the original GDI+ drawing name pixel centres; Qt's
// centres lie half a pixel further. Geometry moved there is drawn where
// GDI+ drew it, and a 1-pixel outline covers one row instead of blurring
// over two.
QPointF pixel_centre(QPoint point);

// A closed rounded rectangle of those metrics, each corner an arc of an
// ellipse whose diameter is the corner size; its points lie on pixel
// centres.
QPainterPath make_rounded_rect_path(QPoint first, QPoint second, int percentage, int base);

// The program's PNG resource of this id, from the Qt resource system
// (":/png/<id>.png"); a null image when there is none or it cannot be decoded.
// Above a device pixel ratio of 1 it comes from the art drawn at twice the
// size (":/png/<id>@2x.png") where there is one, scaled to the ratio and
// carrying it: drawn at its size in logical pixels, it fills device pixels
// one to one instead of being scaled up.
QImage load_png_resource(int id, qreal device_pixel_ratio = 1);

// The device pixels of a logical size at a device pixel ratio.
QSize device_size(QSize logical, qreal device_pixel_ratio);

// A transparent picture of a logical size at the ratio, for drawing in
// logical coordinates.
QImage make_device_image(QSize logical, qreal device_pixel_ratio);

// Draws an image at its logical size with its top left on the device pixel
// nearest to top_left: at a fractional ratio a whole logical position may
// fall between device pixels, where the image would be resampled and blur.
void draw_image_on_pixels(QPainter& painter, QPoint top_left, const QImage& image);

// What the parent paints behind the child, as a brush the child can fill
// with to look transparent; white when the parent has no size.
QBrush paint_parent_background(QWidget& parent, const QWidget& child);

// The size of a text in a font, line breaks counted, no wrapping; (0, 0)
// for an empty text.
QSize measure_text(const QString& text, const QFont& font);

// The size of a label's text on one line in the label's font; (0, 0) for an
// empty text. The caller sizes the label with it.
QSize fit_static_to_text(const QLabel& label);

// A text's bounding size with margins of 10 % of its width and 20 % of its
// height, truncated: room for rendered text whose glyphs overhang.
QSize measure_string(const QString& text, const QFont& font);

// The margin arithmetic of measure_string.
QSize string_size_with_margins(qreal width, qreal height);

}  // namespace parvel
