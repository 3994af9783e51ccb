#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "tests/support/widget_test.hpp"
#include "ui/controls/link_label.hpp"

// The one link control of the action panel and the update page.
class link_label_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QWidget> window_;
  parvel::link_label* link_ = nullptr;

  QWindow* handle() const { return window_->windowHandle(); }
  QPoint on_link() const { return link_->geometry().center(); }
  QPoint beside_link() const { return link_->geometry().bottomRight() + QPoint(20, 20); }

 private Q_SLOTS:
  void init() {
    window_ = std::make_unique<QWidget>();
    window_->resize(200, 80);
    link_ = new parvel::link_label(QStringLiteral("Add Photos"), window_.get());
    link_->setGeometry(10, 10, 100, 20);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void cleanup() { window_.reset(); }

  void only_a_left_press_and_release_on_it_clicks_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("clicks");
    QTest::newRow("a left click clicks") << "left click" << 1;
    QTest::newRow("a right click is none") << "right click" << 0;
    QTest::newRow("a press dragged off the link before its release is none") << "drag off" << 0;
  }

  void only_a_left_press_and_release_on_it_clicks() {
    QFETCH(QString, gesture);
    QFETCH(int, clicks);
    QSignalSpy clicked(link_, &parvel::link_label::clicked);
    if (gesture == "left click") {
      QTest::mouseClick(handle(), Qt::LeftButton, {}, on_link());
    } else if (gesture == "right click") {
      QTest::mouseClick(handle(), Qt::RightButton, {}, on_link());
    } else {  // drag off
      QTest::mousePress(handle(), Qt::LeftButton, {}, on_link());
      QTest::mouseMove(handle(), beside_link());
      QTest::mouseRelease(handle(), Qt::LeftButton, {}, beside_link());
    }
    QCOMPARE(clicked.count(), clicks);
  }

  void the_underline_follows_the_link_not_the_font_data() {
    QTest::addColumn<bool>("underlined");
    QTest::addColumn<bool>("font_underlined");
    QTest::newRow("an underlined link keeps it in a plain font the owner sets") << true << false;
    QTest::newRow("a plain link drops the underline of a font") << false << true;
  }

  void the_underline_follows_the_link_not_the_font() {
    QFETCH(bool, underlined);
    QFETCH(bool, font_underlined);
    link_->set_underlined(underlined);
    QFont font(QStringLiteral("DejaVu Sans"), 11);
    font.setUnderline(font_underlined);
    link_->setFont(font);
    QCOMPARE(link_->font().underline(), underlined);
    QCOMPARE(link_->font().pointSize(), 11);
  }
};

LUMBREL_WIDGET_TEST(link_label_test);

#include "link_label_test.moc"
