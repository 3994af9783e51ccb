#include <QTest>

#include "engine/user/user.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_contact_list.hpp"
#include "ui/addphotos/addphotos_contact_match.hpp"

class contact_list_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void hot_cross_outline_is_one_pixel_in_its_colour() {
    parvel::user::instance()->contacts = {"ann@example.org", "bob@example.org"};
    QWidget window;
    window.resize(300, 100);
    auto* list = new parvel::addphotos_contact_list(&window);
    list->set_filter("");
    list->setGeometry(0, 0, 300, 2 * list->row_height());
    list->set_column_width(0, 276);
    list->set_column_width(1, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QRect row = *list->row_rect(0);
    const QRect cell(row.left() + 276, row.top(), 24, row.height());
    QTest::mouseMove(window.windowHandle(), list->viewport()->mapTo(&window, cell.center()));
    QTRY_COMPARE(list->state().hot().column, 1);

    const QImage picture = list->viewport()->grab().toImage();
    // The square's corners are Win32 ones: right and bottom lie one past the
    // QRect's, and the outline runs on them.
    const QRect square = parvel::remove_glyph_in(cell).square;
    const int right = square.left() + square.width();
    const int bottom = square.top() + square.height();
    const int middle_x = square.center().x();
    const int middle_y = square.center().y();
    struct probe {
      const char* name;
      QPoint at;
    };
    for (const probe& p :
         {probe{"top", {middle_x, square.top()}}, probe{"bottom", {middle_x, bottom}},
          probe{"left", {square.left(), middle_y}}, probe{"right", {right, middle_y}}}) {
      const QString seen = picture.pixelColor(p.at).name(QColor::HexArgb);
      QVERIFY2(seen == QStringLiteral("#ffacacac"),
               qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(p.name), seen)));
    }
  }
};

LUMBREL_WIDGET_TEST(contact_list_test);
#include "contact_list_test.moc"
