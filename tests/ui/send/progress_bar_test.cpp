#include <QTest>

#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/send/progress_bar.hpp"

namespace {

bool is_orange(QColor c) {
  return c.red() > 200 && c.red() - c.blue() > 40 && c.green() > c.blue();
}

// The trough's glassy grey: equal channels.
bool is_trough_grey(QColor c) {
  return std::abs(c.red() - c.green()) <= 6 && std::abs(c.green() - c.blue()) <= 6 && c.red() > 150;
}

}  // namespace

class progress_bar_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void nothing_is_drawn_before_the_first_render() {
    parvel::progress_bar bar;
    QVERIFY(bar.image().isNull());
    QVERIFY(bar.fill_image().isNull());
    bar.resize(0, 0);
    QVERIFY(bar.grab().isNull() || bar.grab().toImage().pixelColor(0, 0).alpha() == 0);
    QVERIFY(bar.image().isNull());
  }

  void fill_follows_the_value() {
    struct row {
      float value;
      bool quarter_orange;
      bool three_quarters_orange;
    };
    const row rows[] = {{0.0f, false, false}, {0.5f, true, false}, {1.0f, true, true}};
    parvel::progress_bar bar;
    bar.resize(400, 30);
    for (const row& r : rows) {
      bar.set_value(r.value);
      const QImage picture = bar.grab().toImage();
      for (const auto& [x, orange] :
           {std::pair{100, r.quarter_orange}, std::pair{300, r.three_quarters_orange}}) {
        const QColor pixel = picture.pixelColor(x, 8);
        QVERIFY2(orange ? is_orange(pixel) : is_trough_grey(pixel),
                 qPrintable(
                     QStringLiteral("value %1 at x %2: %3").arg(r.value).arg(x).arg(pixel.name())));
      }
    }
  }

  void corners_stay_transparent_and_the_outline_is_drawn() {
    parvel::progress_bar bar;
    bar.resize(400, 30);
    bar.set_value(1.0f);
    // Without the window background a grab would paint under it.
    QImage picture(bar.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    static_cast<QWidget&>(bar).render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(picture.pixelColor(0, 0).alpha(), 0);
    // The outer outline's brown at the top edge's middle.
    const QColor edge = picture.pixelColor(200, 0);
    QVERIFY2(edge.red() > edge.blue() + 30, qPrintable(edge.name()));
  }

  void outlines_are_one_crisp_pixel_in_their_colours() {
    parvel::progress_bar bar;
    bar.resize(400, 30);
    QImage picture(bar.size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    static_cast<QWidget&>(bar).render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    const QColor outer(198, 147, 103);
    const QColor inner(229, 207, 183);
    const QString mismatch =
        test_support::first_pixel_mismatch(picture, {{"top outline", {200, 0}, outer},
                                                     {"bottom outline", {200, 29}, outer},
                                                     {"left outline", {0, 15}, outer},
                                                     {"right outline", {399, 15}, outer},
                                                     {"top inner outline", {200, 1}, inner},
                                                     {"bottom inner outline", {200, 28}, inner},
                                                     {"left inner outline", {1, 15}, inner},
                                                     {"right inner outline", {398, 15}, inner}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  }

  void text_shows_the_percent_in_the_middle() {
    const auto dark_in_middle = [](const QImage& picture) {
      int dark = 0;
      for (int x = 150; x < 250; ++x) {
        for (int y = 2; y < 28; ++y) {
          dark += qGray(picture.pixel(x, y)) < 80 ? 1 : 0;
        }
      }
      return dark;
    };
    parvel::progress_bar bar;
    bar.resize(400, 30);
    bar.set_value(0.999f);
    QCOMPARE(dark_in_middle(bar.grab().toImage()), 0);
    bar.set_show_text(true);
    QVERIFY(dark_in_middle(bar.grab().toImage()) > 10);
  }

  // Painting only copies: the fill is ready as soon as the size is known.
  void fill_is_rendered_on_resize_before_any_paint() {
    parvel::progress_bar bar;
    bar.resize(200, 20);
    bar.show();
    const qreal ratio = bar.devicePixelRatioF();
    for (const QSize size : {QSize(200, 20), QSize(500, 40), QSize(120, 16)}) {
      bar.resize(size);
      QCOMPARE(bar.fill_image().size(), size * ratio);
    }
    bar.resize(0, 0);  // an empty bar keeps its last fill
    QCOMPARE(bar.fill_image().size(), QSize(120, 16) * ratio);
  }

  void resizing_renders_both_pictures_again() {
    parvel::progress_bar bar;
    bar.resize(200, 20);
    bar.grab();
    const qreal ratio = bar.devicePixelRatioF();
    QCOMPARE(bar.fill_image().size(), QSize(200, 20) * ratio);
    bar.resize(500, 40);
    bar.set_value(0.5f);
    const QImage picture = bar.grab().toImage();
    QCOMPARE(bar.image().size(), QSize(500, 40) * ratio);
    QCOMPARE(bar.fill_image().size(), QSize(500, 40) * ratio);
    QVERIFY(is_orange(picture.pixelColor(125, 10)));
    QVERIFY(is_trough_grey(picture.pixelColor(375, 10)));
  }
};

LUMBREL_WIDGET_TEST(progress_bar_test);
#include "progress_bar_test.moc"
