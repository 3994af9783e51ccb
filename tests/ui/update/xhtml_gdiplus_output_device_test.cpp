#include "core/graphics/xhtml_gdiplus_output_device.hpp"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "core/xhtml/parse.hpp"
#include "tests/support/widget_test.hpp"

namespace core::graphics {

namespace {

const std::string xhtml_open = "<div xmlns='http://www.w3.org/1999/xhtml'>";
const QRectF area(10, 20, 400, 300);

QFont notes_font() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  return font;
}

// Passes every operation on to the device and records where each text and
// bullet starts: "text One @ x,y" in hundredths.
class recording_device : public core::xhtml::xhtml_output_device {
 public:
  explicit recording_device(xhtml_gdiplus_output_device& device) : device_(device) {}

  void print_special_char(std::int32_t code) override {
    if (code == core::xhtml::bullet)
      record(QStringLiteral("bullet"));
    device_.print_special_char(code);
  }
  void print_text(const std::string& text) override {
    record(QStringLiteral("text ") + QString::fromStdString(text));
    device_.print_text(text);
  }
  void set_context(const core::xhtml::text_context& context) override {
    device_.set_context(context);
  }
  void get_context(core::xhtml::text_context& context) const override {
    device_.get_context(context);
  }
  bool full() const override { return device_.full(); }

  QStringList records;

 private:
  void record(const QString& what) {
    const float indent = device_.indent() > 0 ? device_.indent() : 0.0f;
    records << QStringLiteral("%1 @ %2,%3")
                   .arg(what)
                   .arg(qRound((device_.layout().x() + indent) * 100))
                   .arg(qRound(device_.layout().y() * 100));
  }

  xhtml_gdiplus_output_device& device_;
};

QString at(const QString& what, qreal x, qreal y) {
  return QStringLiteral("%1 @ %2,%3").arg(what).arg(qRound(x * 100)).arg(qRound(y * 100));
}

}  // namespace

class xhtml_gdiplus_output_device_test : public QObject {
  Q_OBJECT

  QImage image_{500, 400, QImage::Format_ARGB32_Premultiplied};

  QSizeF measured(const QString& text) {
    return QFontMetricsF(notes_font(), &image_).boundingRect(area, Qt::TextWordWrap, text).size();
  }

  // Runs the first command of the notes, as the update page does.
  QStringList run(const std::string& xhtml) {
    core::xhtml::command_list commands;
    core::xhtml::parse(xhtml, commands);
    image_.fill(Qt::white);
    QPainter painter(&image_);
    xhtml_gdiplus_output_device device(painter, area, notes_font());
    recording_device recorder(device);
    commands.front()->run(recorder);
    return recorder.records;
  }

 private Q_SLOTS:
  void positions_data() {
    QTest::addColumn<QByteArray>("xhtml");
    QTest::addColumn<QStringList>("expected");
    const qreal x = area.x();
    const qreal y = area.y();
    const QSizeF one = measured(QStringLiteral("One"));
    const QSizeF w = measured(QStringLiteral("W"));
    const QSizeF first = measured(QStringLiteral("First"));

    QTest::newRow("a paragraph starts below the one before")
        << QByteArray::fromStdString(xhtml_open + "<p>One</p><p>Two</p></div>")
        << QStringList{at("text One", x, y), at("text Two", x, y + one.height() * 1.5)};
    QTest::newRow("list items break, bullet and shift their text by the width of W")
        << QByteArray::fromStdString(xhtml_open + "<ul><li>One</li><li>Two</li></ul></div>")
        << QStringList{at("bullet", x, y), at("text One", x + w.width(), y),
                       at("bullet", x, y + one.height() * 1.5),
                       at("text Two", x + w.width(), y + one.height() * 1.5)};
    QTest::newRow("text after a break starts at the left edge")
        << QByteArray::fromStdString(xhtml_open + "<p>First<br/>Second</p></div>")
        << QStringList{at("text First", x, y), at("text Second", x, y + first.height() * 1.5)};
    QTest::newRow("a break before anything was measured stays put")
        << QByteArray::fromStdString(xhtml_open + "<p><br/>One</p></div>")
        << QStringList{at("text One", x, y)};
  }

  void positions() {
    QFETCH(QByteArray, xhtml);
    QFETCH(QStringList, expected);
    QCOMPARE(run(xhtml.toStdString()), expected);
  }

  void stops_drawing_once_the_area_is_full() {
    std::string items;
    for (int i = 0; i < 1000; ++i)
      items += "<li>x</li>";
    const QStringList records = run(xhtml_open + "<ul>" + items + "</ul></div>");
    // Each item's line starts a line height below the one before; the
    // first break moves nothing, as nothing was measured before it.
    const qreal line = measured(QStringLiteral("x")).height() * 1.5;
    qsizetype lines = 0;
    while (lines * line < area.height())
      ++lines;
    QCOMPARE(records.filter(QStringLiteral("text ")).size(), lines);
  }

  void draws_text_and_bullets_in_opaque_black_inside_the_area() {
    run(xhtml_open + "<ul><li>Item</li></ul></div>");
    int dark = 0;
    QRect box;
    for (int y = 0; y < image_.height(); ++y) {
      for (int x = 0; x < image_.width(); ++x) {
        if (qGray(image_.pixel(x, y)) < 80) {
          ++dark;
          box |= QRect(x, y, 1, 1);
        }
      }
    }
    QVERIFY(dark > 20);
    QVERIFY2(area.toAlignedRect().contains(box), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                .arg(box.x())
                                                                .arg(box.y())
                                                                .arg(box.width())
                                                                .arg(box.height())));
    // The bullet left of the text's start.
    QVERIFY(box.left() < area.x() + measured(QStringLiteral("W")).width());
  }
};

LUMBREL_WIDGET_TEST(xhtml_gdiplus_output_device_test);

}  // namespace core::graphics

#include "xhtml_gdiplus_output_device_test.moc"
