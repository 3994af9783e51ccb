#include "tests/support/widget_driver.hpp"

#include <QColor>
#include <QWindow>
#include <algorithm>

namespace test_support {

void click(const QWidget& widget, std::optional<QPoint> at, Qt::MouseButton button,
           Qt::KeyboardModifiers modifiers) {
  const QWidget& window = *widget.window();
  QTest::mouseClick(window.windowHandle(), button, modifiers,
                    widget.mapTo(&window, at.value_or(widget.rect().center())));
}

void type(QWindow* window, const QString& text) {
  for (const QChar c : text)
    QTest::keyClick(window, c.toLatin1());
}

bool type_into(QWidget& field, const QString& text) {
  click(field);
  if (!QTest::qWaitFor([&field] { return field.hasFocus(); }))
    return false;
  type(field.window()->windowHandle(), text);
  return true;
}

int darkest(const QImage& picture, std::optional<QRect> area) {
  const QRect inside = area.value_or(picture.rect()) & picture.rect();
  int value = 255;
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      value = std::min(value, picture.pixelColor(x, y).lightness());
  return value;
}

QString first_pixel_mismatch(const QImage& picture, std::initializer_list<pixel_probe> probes) {
  for (const pixel_probe& p : probes) {
    const QString seen = picture.pixelColor(p.at).name(QColor::HexArgb);
    if (seen != p.colour.name(QColor::HexArgb))
      return QStringLiteral("%1: %2").arg(QLatin1String(p.name), seen);
  }
  return {};
}

}  // namespace test_support
