#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>

#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/window_value.hpp"

namespace {

// A parent whose background is a known two-colour split.
class split_parent : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(0, 0, width() / 2, height(), QColor(200, 0, 0));
    painter.fillRect(width() / 2, 0, width() - width() / 2, height(), QColor(0, 0, 200));
  }
};

QImage blank(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

class theme_drawing_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void theme_fonts_follow_their_sources() {
    parvel::theme::system_fonts sources;
    sources.caption.setPixelSize(12);
    sources.message.setPixelSize(13);
    sources.status.setPixelSize(12);
    sources.menu.setPointSizeF(9);  // 12 pixels at 96 dots per inch
    sources.status.setItalic(false);
    const auto fonts = parvel::theme::make_theme_fonts(sources, 96);
    const int sizes[] = {18, 15, 15, 14, 13, 14, 13, 13, 11, 12, 14};
    const bool bold[] = {true, true, false, true, false, false, false, false, false, false, true};
    for (int i = 0; i < 11; ++i) {
      QCOMPARE(fonts[i].pixelSize(), sizes[i]);
      QCOMPARE(fonts[i].bold(), bold[i]);
      QCOMPARE(fonts[i].italic(), i == 8);
    }
  }

  void font_manager_is_made_once_and_checks_numbers() {
    const auto& manager = parvel::theme::font_manager::instance();
    QCOMPARE(manager.get(), parvel::theme::font_manager::instance().get());
    QVERIFY(manager->font(1).pixelSize() > manager->font(5).pixelSize() || manager->font(1).bold());
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, manager->font(0));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, manager->font(12));
  }

  void gradient_with_a_hard_step_changes_colour_within_a_pixel() {
    QImage image = blank(10, 100);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, 100);
    parvel::add_hard_step(gradient, 0.5, Qt::red, Qt::blue);
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(1, Qt::blue);
    painter.fillRect(image.rect(), gradient);
    painter.end();
    QCOMPARE(image.pixelColor(5, 48), QColor(Qt::red));
    QCOMPARE(image.pixelColor(5, 51), QColor(Qt::blue));
  }

  void gradient_fill_runs_from_top_to_bottom_colour() {
    QImage image = blank(10, 101);
    QPainter painter(&image);
    parvel::gradient_fill_rect(painter, image.rect(), QColor(0, 0, 0), QColor(200, 200, 200));
    painter.end();
    QVERIFY(image.pixelColor(5, 0).red() <= 2);
    QVERIFY(image.pixelColor(5, 100).red() >= 198);
    QVERIFY(qAbs(image.pixelColor(5, 50).red() - 100) <= 3);
    const QImage flat = [] {
      QImage i = blank(4, 4);
      QPainter p(&i);
      parvel::gradient_fill_rect(p, i.rect(), QColor(1, 2, 3), QColor(1, 2, 3));
      return i;
    }();
    QCOMPARE(flat.pixelColor(3, 3), QColor(1, 2, 3));
  }

  void alpha_blend_draws_one_cell_over_the_destination() {
    QImage strip = blank(20, 10);
    QPainter(&strip).fillRect(10, 0, 10, 10, QColor(0, 255, 0, 128));
    QImage target(10, 10, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    QPainter painter(&target);
    parvel::alpha_blend(painter, target.rect(), strip, 10, 10, 10);
    painter.end();
    const QColor mixed = target.pixelColor(5, 5);
    QVERIFY(qAbs(mixed.red() - 127) <= 2);
    QCOMPARE(mixed.green(), 255);
  }

  void rounded_rect_path_cuts_its_corners() {
    QImage image = blank(100, 60);
    QPainter painter(&image);
    parvel::set_high_quality(painter);
    painter.fillPath(parvel::make_rounded_rect_path({0, 0}, {100, 60}, 50, 0), Qt::black);
    painter.end();
    QCOMPARE(image.pixelColor(1, 1).alpha(), 0);
    QCOMPARE(image.pixelColor(98, 58).alpha(), 0);
    QCOMPARE(image.pixelColor(50, 1).alpha(), 255);
    QCOMPARE(image.pixelColor(1, 30).alpha(), 255);
    QCOMPARE(image.pixelColor(50, 30).alpha(), 255);
  }

  void png_resource_loads_before_any_window_exists_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::newRow("the photo list's empty picture") << 129 << QSize(128, 112);
    QTest::newRow("the logo") << 130 << QSize(216, 52);
    QTest::newRow("the rename preview's arrow") << 131 << QSize(16, 16);
    QTest::newRow("an id the program has not is null") << 9999 << QSize(0, 0);
  }

  void png_resource_loads_before_any_window_exists() {
    QFETCH(int, id);
    QFETCH(QSize, size);
    QCOMPARE(parvel::load_png_resource(id).size(), size);
  }

  // Above 1 the art drawn at twice the size is taken down to the ratio; art
  // without it is scaled up from 1x. Either way its logical size stays.
  void png_resource_at_a_device_pixel_ratio_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("the logo at 1") << 130 << 1.0 << QSize(216, 52);
    QTest::newRow("the logo at 1.25") << 130 << 1.25 << QSize(270, 65);
    QTest::newRow("the logo at 1.5") << 130 << 1.5 << QSize(324, 78);
    QTest::newRow("the logo at 2, its 2x art as drawn") << 130 << 2.0 << QSize(432, 104);
    QTest::newRow("the empty picture at 1.5") << 129 << 1.5 << QSize(192, 168);
    QTest::newRow("the arrow, without 2x art, at 2") << 131 << 2.0 << QSize(32, 32);
  }

  void png_resource_at_a_device_pixel_ratio() {
    QFETCH(int, id);
    QFETCH(qreal, ratio);
    QFETCH(QSize, pixels);
    const QImage image = parvel::load_png_resource(id, ratio);
    QCOMPARE(image.size(), pixels);
    QCOMPARE(image.devicePixelRatio(), ratio);
    QCOMPARE(image.deviceIndependentSize().toSize(), parvel::load_png_resource(id).size());
  }

  // At 1.25 a logical 1 falls between device pixels: the image goes to the
  // nearest whole one and is copied, not resampled.
  void image_on_pixels_is_copied_whole() {
    QImage source(4, 4, QImage::Format_ARGB32_Premultiplied);
    source.fill(QColor(0, 0, 255));
    source.setDevicePixelRatio(1.25);
    QImage target = parvel::make_device_image(QSize(8, 8), 1.25);
    target.fill(Qt::white);
    QPainter painter(&target);
    parvel::set_high_quality(painter);
    parvel::draw_image_on_pixels(painter, QPoint(1, 1), source);
    painter.end();
    const QString mismatch =
        test_support::first_pixel_mismatch(target, {{"left of it", {0, 2}, Qt::white},
                                                    {"its first column", {1, 2}, QColor(0, 0, 255)},
                                                    {"its last column", {4, 2}, QColor(0, 0, 255)},
                                                    {"right of it", {5, 2}, Qt::white}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  }

  void parent_background_shows_what_lies_behind_the_child() {
    split_parent parent;
    parent.resize(100, 40);
    QLabel child(QStringLiteral("x"), &parent);
    child.setGeometry(40, 10, 20, 10);
    const QImage picture = parvel::paint_parent_background(parent, child).textureImage();
    QCOMPARE(picture.size(), QSize(20, 10));
    QCOMPARE(picture.pixelColor(2, 5), QColor(200, 0, 0));
    QCOMPARE(picture.pixelColor(17, 5), QColor(0, 0, 200));

    QWidget empty;
    empty.resize(0, 0);
    QLabel inside(&empty);
    QCOMPARE(parvel::paint_parent_background(empty, inside).color(), QColor(Qt::white));
  }

  void text_sizes_count_lines_and_ignore_empty_texts() {
    const QFont& font = parvel::theme::font_manager::instance()->font(5);
    QCOMPARE(parvel::measure_text(QString(), font), QSize(0, 0));
    const QSize one = parvel::measure_text(QStringLiteral("W"), font);
    const QSize two = parvel::measure_text(QStringLiteral("W\nW"), font);
    QVERIFY(one.width() > 0);
    QCOMPARE(two.height(), 2 * one.height());

    QLabel label;
    label.setFont(font);
    QCOMPARE(parvel::fit_static_to_text(label), QSize(0, 0));
    label.setText(QStringLiteral("Send copy to myself"));
    const QSize fitted = parvel::fit_static_to_text(label);
    QCOMPARE(fitted.height(), QFontMetrics(font).height());
    QCOMPARE(fitted.width(), QFontMetrics(font).horizontalAdvance(label.text()));

    const QSize measured = parvel::measure_string(QStringLiteral("W"), font);
    QVERIFY(measured.width() >= one.width());
  }

  void window_values_go_through_the_controls_text() {
    QLineEdit edit;
    edit.setText(QStringLiteral("-1"));
    QCOMPARE(parvel::get_window_value<int>(edit), -1);
    QCOMPARE(parvel::get_window_value<unsigned int>(edit), 0u);
    parvel::set_window_value(edit, -15);
    QCOMPARE(edit.text(), QStringLiteral("-15"));
    parvel::set_window_value(edit, 4000000000u);
    QCOMPARE(parvel::get_window_value<unsigned int>(edit), 4000000000u);

    QPlainTextEdit message;
    parvel::set_window_value(message, QStringLiteral("two\nlines "));
    QCOMPARE(parvel::get_window_value<QString>(message), QStringLiteral("two\nlines "));
    QLabel label;
    parvel::set_window_value(label, 7);
    QCOMPARE(parvel::get_window_text(label), QStringLiteral("7"));
  }
};

LUMBREL_WIDGET_TEST(theme_drawing_test);

#include "theme_drawing_test.moc"
