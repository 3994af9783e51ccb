#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "core/windows/async_window_update.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/controls/add_control_dispose.hpp"
#include "ui/controls/basic_flow_popup.hpp"

namespace {

class test_popup : public parvel::basic_flow_popup, public parvel::add_control_dispose<test_popup> {
 public:
  test_popup(parvel::flow_popup_kind kind, QWidget* owner) : basic_flow_popup(kind, owner) {}
};

// An owner as the pages are: holds its popup by shared pointer and releases
// it from a call posted to itself after the popup hid.
class popup_owner : public QWidget, public core::windows_async_window_update {
 public:
  popup_owner() {
    resize(400, 300);
    button = new QPushButton(QStringLiteral("Under"), this);
    button->setGeometry(10, 10, 100, 30);
    edit = new QLineEdit(this);
    edit->setGeometry(10, 60, 200, 24);
  }

  void open(parvel::flow_popup_kind kind) {
    popup = test_popup::make(kind, this);
    test_popup* const opened = popup.get();
    popup->signal_hidden.connect([this, opened](bool) {
      ++hidings;
      post([this, opened] { parvel::release_control(popup, opened); });
    });
    popup->setGeometry(QRect(mapToGlobal(QPoint(220, 100)), QSize(120, 80)));
    popup->show();
  }

  QPushButton* button;
  QLineEdit* edit;
  std::shared_ptr<test_popup> popup;
  int hidings = 0;
};

struct host {
  popup_owner owner;
  int clicks = 0;

  host() {
    QObject::connect(owner.button, &QPushButton::clicked, [this] { ++clicks; });
    owner.show();
    owner.activateWindow();
    owner.edit->setFocus();
  }
};

}  // namespace

class flow_popup_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void outside_press_only_hides_the_popup_data() {
    QTest::addColumn<parvel::flow_popup_kind>("kind");
    QTest::newRow("an option popup") << parvel::flow_popup_kind::option;
    QTest::newRow("a popup typed past") << parvel::flow_popup_kind::typed_past;
  }
  void outside_press_only_hides_the_popup() {
    QFETCH(parvel::flow_popup_kind, kind);
    host h;
    QVERIFY(QTest::qWaitForWindowActive(&h.owner));
    h.owner.open(kind);
    QPointer<test_popup> popup = h.owner.popup.get();
    QVERIFY(QTest::qWaitForWindowExposed(popup.data()));
    if (kind == parvel::flow_popup_kind::typed_past) {
      QTRY_COMPARE(QApplication::activeWindow(), &h.owner);
      QCOMPARE(QApplication::focusWidget(), h.owner.edit);
      QTest::keyClick(h.owner.windowHandle(), 'a');
      QTest::keyClick(h.owner.windowHandle(), 'b');
      QCOMPARE(h.owner.edit->text(), QStringLiteral("ab"));
      QVERIFY(popup->isVisible());
    }

    QTest::mouseClick(h.owner.windowHandle(), Qt::LeftButton, {},
                      h.owner.button->geometry().center());
    QVERIFY(popup.isNull() || !popup->isVisible());
    QCOMPARE(h.owner.hidings, 1);
    QCOMPARE(h.clicks, 0);
    // The owner's posted call releases the popup, window and object.
    QTRY_VERIFY(popup.isNull());
    QCOMPARE(h.owner.popup, nullptr);

    QTest::mouseClick(h.owner.windowHandle(), Qt::LeftButton, {},
                      h.owner.button->geometry().center());
    QCOMPARE(h.clicks, 1);
  }

  void press_inside_hides_too() {
    host h;
    h.owner.open(parvel::flow_popup_kind::typed_past);
    QPointer<test_popup> popup = h.owner.popup.get();
    QVERIFY(QTest::qWaitForWindowExposed(popup.data()));
    QTest::mouseClick(popup->windowHandle(), Qt::RightButton, {}, QPoint(30, 30));
    QVERIFY(popup.isNull() || !popup->isVisible());
    QCOMPARE(h.owner.hidings, 1);
    QTRY_VERIFY(popup.isNull());
  }

  void popup_paints_white_inside_a_border() {
    host h;
    h.owner.open(parvel::flow_popup_kind::option);
    const QImage picture = h.owner.popup->grab().toImage();
    QCOMPARE(picture.pixelColor(60, 40), QColor(Qt::white));
    QVERIFY(picture.pixelColor(0, 40) != QColor(Qt::white));
  }

  void release_of_a_hidden_popup_spares_one_opened_since() {
    host h;
    h.owner.open(parvel::flow_popup_kind::option);
    QPointer<test_popup> first = h.owner.popup.get();
    first->hide_popup();
    // Opened again before the posted release runs.
    h.owner.open(parvel::flow_popup_kind::option);
    QPointer<test_popup> second = h.owner.popup.get();
    QTRY_VERIFY(first.isNull());
    QVERIFY(!second.isNull());
    QCOMPARE(h.owner.popup.get(), second.data());
  }

  void popup_deleted_with_its_owner_is_not_deleted_again() {
    auto owner = std::make_unique<QWidget>();
    std::shared_ptr<test_popup> popup =
        test_popup::make(parvel::flow_popup_kind::option, owner.get());
    QPointer<test_popup> watch = popup.get();
    owner.reset();
    QVERIFY(watch.isNull());
    popup.reset();  // a double delete would trip the sanitizers
  }
};

LUMBREL_WIDGET_TEST(flow_popup_test);

#include "flow_popup_test.moc"
