#include <QPainter>
#include <QTest>

#include "tests/support/widget_test.hpp"
#include "ui/theme/add_control_image.hpp"

namespace {

// Draws a frame and a filled square of its colour; counts its renders.
class picture_window : public QWidget, public parvel::add_control_image<picture_window> {
 public:
  int renders = 0;
  int paints = 0;

  void set_colour(QColor colour) {
    colour_ = colour;
    refresh_image();
  }

  void draw_image(QPainter& painter, QSize size) {
    ++renders;
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    painter.fillRect(QRect(QPoint(0, 0), size).adjusted(1, 1, -1, -1), colour_);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    ++paints;
    paint_image();
  }

 private:
  QColor colour_ = Qt::yellow;
};

}  // namespace

class control_image_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void picture_renders_only_on_size_or_content_change() {
    picture_window window;
    window.resize(60, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.paints >= 1);
    QCOMPARE(window.renders, 1);
    QCOMPARE(window.image().size(), QSize(60, 40) * window.devicePixelRatio());

    window.repaint();
    window.repaint();
    QCOMPARE(window.renders, 1);

    window.set_colour(Qt::green);
    window.repaint();
    QCOMPARE(window.renders, 2);

    window.resize(80, 50);
    window.repaint();
    QCOMPARE(window.renders, 3);
    const QImage shown = window.grab().toImage();
    QCOMPARE(shown.pixelColor(40, 25), QColor(Qt::green));
    QCOMPARE(shown.pixelColor(79, 49), QColor(Qt::black));
  }

  void empty_window_paints_nothing() {
    picture_window window;
    window.resize(0, 0);
    window.repaint();
    QVERIFY(window.image().isNull());
  }
};

LUMBREL_WIDGET_TEST(control_image_test);

#include "control_image_test.moc"
