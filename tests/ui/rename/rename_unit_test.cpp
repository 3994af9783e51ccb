#include <QTest>

#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/rename/addphotos_rename_unit.hpp"
#include "ui/rename/addphotos_rename_unit_item_empty.hpp"
#include "ui/theme/drawing.hpp"

class rename_unit_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void outlines_are_one_pixel_in_their_colours() {
    QWidget window;
    window.resize(400, 300);
    auto* unit = new parvel::addphotos_rename_unit(&window);
    unit->set_min_height(150);
    unit->add_item(new parvel::addphotos_rename_unit_item_empty(unit));
    unit->set_title(QStringLiteral("Prefix"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage picture = unit->grab().toImage();
    const int w = picture.width();
    const int h = picture.height();
    QCOMPARE(h, 150);
    // The body is the picture less 3 pixels right and 2 below, moved by (1, 1);
    // the title band's outline runs along its bottom edge.
    const int band_bottom = 1 + parvel::measure_string(unit->title(), unit->font()).height();
    const QColor body(0xB2, 0xB2, 0xB2);
    const QColor band(0xB7, 0xB7, 0xB7);
    const QString mismatch =
        test_support::first_pixel_mismatch(picture, {{"body top", {w / 2, 1}, body},
                                                     {"body bottom", {w / 2, h - 1}, body},
                                                     {"body left", {1, h / 2}, body},
                                                     {"body right", {w - 2, h / 2}, body},
                                                     {"band bottom", {w / 2, band_bottom}, band}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  }
};

LUMBREL_WIDGET_TEST(rename_unit_test);
#include "rename_unit_test.moc"
