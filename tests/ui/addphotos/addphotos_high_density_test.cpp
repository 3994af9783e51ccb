#include <QColor>
#include <QImage>
#include <QTest>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/addphotos/ink_bands.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/photo_list/addphotos_list.hpp"

namespace {

// Whether a scale puts a whole logical pixel of 2 on a whole device pixel.
bool whole_at_two(qreal ratio) {
  return std::abs(2 * ratio - std::round(2 * ratio)) < 1e-9;
}

}  // namespace

// The add-photos page on a high-density screen: CTest runs this class again at
// QT_SCALE_FACTOR 1.25, 1.5 and 2. What the program draws itself is drawn at
// the screen's device pixels, as the widgets' own texts and frames are.
class addphotos_high_density_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<parvel::addphotos_page> page_;

  qreal ratio() const { return page_->devicePixelRatioF(); }

 private Q_SLOTS:
  void init() {
    parvel::user::instance()->get_package()->clear_photos();
    page_ = std::make_unique<parvel::addphotos_page>();
    page_->resize(1000, 700);
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
  }

  void cleanup() { page_.reset(); }

  // Drawn at 1x and scaled up, the picture's text lines repeat device rows:
  // every second one at 2, every third at 1.5, every fifth at 1.25.
  void the_empty_list_picture_has_the_screens_pixels() {
    if (ratio() == 1)
      QSKIP("a screen of scale 1");
    const QWidget& list = *page_->photo_list().viewport();
    const QImage picture = const_cast<QWidget&>(list).grab().toImage();
    QCOMPARE(picture.size(), (QSizeF(list.size()) * ratio()).toSize());
    const std::vector<std::pair<int, int>> bands = test_support::ink_bands(picture);
    QCOMPARE(bands.size(), std::size_t{3});
    int rows = 0;
    int repeated = 0;
    for (std::size_t band = 1; band < bands.size(); ++band) {
      for (int y = bands[band].first; y < bands[band].second; ++y) {
        ++rows;
        repeated +=
            picture.copy(0, y, picture.width(), 1) == picture.copy(0, y + 1, picture.width(), 1);
      }
    }
    QVERIFY2(repeated * 8 < rows,
             qPrintable(QStringLiteral("%1 of %2 text rows repeat").arg(repeated).arg(rows)));
    QCOMPARE(page_->photo_list().background_image().devicePixelRatio(), ratio());
  }

  // The mark's left edge lies on logical x 2: scaled up from 1x, the device
  // column before it takes some blue and the one at it not all.
  void the_logo_has_the_screens_pixels() {
    if (!whole_at_two(ratio()))
      QSKIP("the mark's edge falls between device pixels");
    QWidget& panel = *page_->panel_widget(parvel::addphotos_page::panel::logo);
    const QImage picture = panel.grab().toImage();
    QCOMPARE(picture.size(), (QSizeF(panel.size()) * ratio()).toSize());
    const int edge = static_cast<int>(std::round(4 * ratio()));
    const int middle = static_cast<int>(std::round(27 * ratio()));
    const QString mismatch = test_support::first_pixel_mismatch(
        picture, {{"before the mark", {edge - 1, middle}, Qt::white},
                  {"the mark's edge", {edge, middle}, QColor(0x2f, 0x6f, 0xc4)}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  }

  // The size limit at the bottom right keeps two logical pixels from the
  // window's edge, above the rule, at every scale.
  void the_size_limit_keeps_off_the_edge() {
    QWidget& panel = *page_->panel_widget(parvel::addphotos_page::panel::logo);
    const QImage picture = panel.grab().toImage();
    const int right = static_cast<int>((panel.width() - 2) * ratio());
    const int rule = static_cast<int>((panel.height() - 1) * ratio());
    const QRect margin(right, 0, picture.width() - right, rule);
    QCOMPARE(test_support::darkest(picture, margin), 255);
  }
};

LUMBREL_WIDGET_TEST(addphotos_high_density_test);
#include "addphotos_high_density_test.moc"
