#include <QApplication>
#include <QFont>
#include <QTest>
#include <vector>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/addphotos/ink_bands.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/photo_list/addphotos_list.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/app/main_frame.hpp"

// A desktop font taller than the one the fixed sizes were made for, as a CJK
// fallback font is under a Japanese locale: the rows grow with it, and the
// window's minimum grows too, so the empty list still shows its picture whole.
// The fonts are read once a process, so the font is set before any window.
class addphotos_tall_font_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QFont tall = QApplication::font();
    tall.setPixelSize(18);
    QApplication::setFont(tall);
    parvel::user::instance()->get_package()->clear_photos();
  }

  void the_window_at_its_minimum_shows_the_empty_list_whole() {
    parvel::main_frame frame;
    frame.resize(1, 1);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    auto* page = static_cast<parvel::addphotos_page*>(
        frame.canvas().page(parvel::canvas_view::layer::addphotos));
    QWidget& list = *page->photo_list().viewport();
    const QImage picture = list.grab().toImage();
    // The art, the first line and the second line, the last above the
    // list's bottom edge.
    const std::vector<std::pair<int, int>> bands = test_support::ink_bands(picture);
    QCOMPARE(bands.size(), std::size_t{3});
    QVERIFY2(bands.back().second < picture.height() - 1, "the second line is cut");
  }
};

LUMBREL_WIDGET_TEST(addphotos_tall_font_test);
#include "addphotos_tall_font_test.moc"
