#include <QTest>

#include "engine/user/user.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/recipients/addphotos_contact_list.hpp"
#include "ui/addphotos/recipients/addphotos_contact_match.hpp"

class contact_list_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void remove_glyph_lines_are_one_pixel_in_their_colours_data() {
    QTest::addColumn<int>("hovered_column");
    QTest::addColumn<QString>("cross");
    QTest::addColumn<QString>("outline");
    QTest::newRow("mouse over the cross: bright cross in its outline") << 1 << "#ffff0000"
                                                                       << "#ffacacac";
    QTest::newRow("mouse over the name: dark cross, no outline") << 0 << "#ff800000"
                                                                 << "";
  }

  void remove_glyph_lines_are_one_pixel_in_their_colours() {
    QFETCH(int, hovered_column);
    QFETCH(QString, cross);
    QFETCH(QString, outline);
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
    const QPoint hovered = hovered_column == 1 ? cell.center() : QPoint(40, cell.center().y());
    QTest::mouseMove(window.windowHandle(), list->viewport()->mapTo(&window, hovered));
    QTRY_COMPARE(list->state().hot().column, hovered_column);

    const QImage picture = list->viewport()->grab().toImage();
    const auto seen = [&](QPoint at) { return picture.pixelColor(at).name(QColor::HexArgb); };
    const parvel::remove_glyph_geometry glyph = parvel::remove_glyph_in(cell);
    // Win32 corners: right and bottom lie one past the QRect's; the lines
    // run on them and the two diagonals cross on the middle pixel.
    const QRect& c = glyph.cross;
    QCOMPARE(seen({c.left() + c.width() / 2, c.top() + c.height() / 2}), cross);
    if (outline.isEmpty())
      return;
    const QRect& s = glyph.square;
    const int middle_x = s.center().x();
    const int middle_y = s.center().y();
    for (const QPoint at : {QPoint(middle_x, s.top()), QPoint(middle_x, s.top() + s.height()),
                            QPoint(s.left(), middle_y), QPoint(s.left() + s.width(), middle_y)})
      QVERIFY2(seen(at) == outline,
               qPrintable(QStringLiteral("(%1, %2): %3").arg(at.x()).arg(at.y()).arg(seen(at))));
  }
};

LUMBREL_WIDGET_TEST(contact_list_test);
#include "contact_list_test.moc"
