#include <QHBoxLayout>
#include <QTest>
#include <memory>

#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/controls/cue_edit.hpp"

class cue_edit_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QWidget> window_;
  parvel::cue_edit* edit_ = nullptr;
  QLineEdit* other_ = nullptr;

  // The darkest lightness in the middle of the field, right of where a short
  // typed text would end: low where the cue is drawn.
  int darkest_in_cue_area() const {
    const QImage image = edit_->grab().toImage();
    return test_support::darkest(image,
                                 QRect(QPoint(image.width() / 4, image.height() / 3),
                                       QPoint(image.width() / 2 - 1, image.height() * 2 / 3 - 1)));
  }

 private Q_SLOTS:
  void init() {
    window_ = std::make_unique<QWidget>();
    auto* layout = new QHBoxLayout(window_.get());
    edit_ = new parvel::cue_edit;
    other_ = new QLineEdit;
    layout->addWidget(edit_, 3);
    layout->addWidget(other_, 1);
    window_->resize(400, 40);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

  void cleanup() { window_.reset(); }

  void cue_shows_only_while_empty_and_unfocused_data() {
    QTest::addColumn<QString>("cue");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("shown");
    const QString cue = QStringLiteral("Recipients email addresses");
    QTest::newRow("an empty field elsewhere focused shows the cue") << cue << "" << false << true;
    QTest::newRow("an empty focused field shows no cue") << cue << "" << true << false;
    QTest::newRow("a short text hides the cue") << cue << "a" << false << false;
    QTest::newRow("an empty cue draws nothing") << ""
                                                << "" << false << false;
  }

  void cue_shows_only_while_empty_and_unfocused() {
    QFETCH(QString, cue);
    QFETCH(QString, text);
    QFETCH(bool, focused);
    QFETCH(bool, shown);
    edit_->set_cue_text(cue);
    edit_->setText(text);
    // Focus moves the way a user's click moves it.
    QWidget* target = focused ? static_cast<QWidget*>(edit_) : other_;
    test_support::click(*target);
    QTRY_COMPARE(edit_->hasFocus(), focused);
    QCOMPARE(darkest_in_cue_area() < 200, shown);
  }

  void cue_returns_when_the_focus_leaves_and_when_the_text_is_cleared() {
    edit_->set_cue_text(QStringLiteral("Your email address"));
    test_support::click(*edit_);
    QTest::keyClick(window_->windowHandle(), 'm');
    QTest::keyClick(window_->windowHandle(), 'e');
    QCOMPARE(edit_->text(), QStringLiteral("me"));
    QTest::keyClick(window_->windowHandle(), Qt::Key_Tab);
    QTRY_VERIFY(!edit_->hasFocus());
    QVERIFY(darkest_in_cue_area() > 200);
    edit_->clear();
    QVERIFY(darkest_in_cue_area() < 200);
  }
};

LUMBREL_WIDGET_TEST(cue_edit_test);

#include "cue_edit_test.moc"
