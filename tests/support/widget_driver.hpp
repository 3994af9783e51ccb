#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTest>
#include <QWidget>
#include <initializer_list>
#include <optional>

class QWindow;

// Drives widgets the way a person does: clicks and keys go to the top-level
// window and take the platform's route (popups, grabs, focus), never straight
// to a widget.
namespace test_support {

// A click at a point of the widget, its centre by default, sent to the window
// that holds it.
void click(const QWidget& widget, std::optional<QPoint> at = std::nullopt,
           Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});

// Types Latin-1 text, a key a character, into whatever has the window's
// focus.
void type(QWindow* window, const QString& text);

// Clicks into the field, then types through its window; false when the
// field does not get the focus within a bounded wait.
bool type_into(QWidget& field, const QString& text);

// The child with this control id (object name "id_<id>"), else null.
template <class T = QWidget>
T* control(const QObject& parent, int id) {
  return parent.findChild<T*>(QStringLiteral("id_%1").arg(id));
}

// A row of a list in its top-level window's coordinates, at x of the list's
// viewport, its middle by default. The row must lie in the list.
template <class List>
QPoint row_point(const List& list, int row, std::optional<int> x = std::nullopt) {
  const QRect rect = *list.row_rect(row);
  const QWidget& viewport = *list.viewport();
  return viewport.mapTo(viewport.window(),
                        QPoint(x.value_or(viewport.width() / 2), rect.center().y()));
}

// A click on a row of a list, through its window.
template <class List>
void click_row(const List& list, int row, Qt::KeyboardModifiers modifiers = {},
               Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(list.window()->windowHandle(), button, modifiers, row_point(list, row));
}

// The lowest lightness within the rectangle of the picture, the whole picture
// by default; 255 for an empty one.
int darkest(const QImage& picture, std::optional<QRect> area = std::nullopt);

// A pixel the picture must show exactly, named for the failure message.
struct pixel_probe {
  const char* name;
  QPoint at;
  QColor colour;
};

// "<name>: <colour seen>" for the first probe the picture does not match,
// empty when all match.
QString first_pixel_mismatch(const QImage& picture, std::initializer_list<pixel_probe> probes);

}  // namespace test_support
