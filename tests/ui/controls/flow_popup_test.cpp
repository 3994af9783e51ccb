#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "core/windows/async_window_update.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/controls/add_control_dispose.hpp"
#include "ui/controls/basic_flow_popup.hpp"
#include "ui/controls/popup_holder.hpp"

namespace {

class test_popup : public parvel::basic_flow_popup {
 public:
  test_popup(parvel::flow_popup_kind kind, QWidget* owner) : basic_flow_popup(kind, owner) {}
};

// An owner as the pages are: holds its popup and releases it from a call
// posted to itself after the popup hid.
class popup_owner : public QWidget, public core::windows_async_window_update {
 public:
  explicit popup_owner(parvel::popup_release release = parvel::popup_release::posted)
      : popup(*this, release) {
    resize(400, 300);
    button = new QPushButton(QStringLiteral("Under"), this);
    button->setGeometry(10, 10, 100, 30);
    edit = new QLineEdit(this);
    edit->setGeometry(10, 60, 200, 24);
  }

  void show_popup(test_popup& opened) {
    opened.signal_hidden.connect([this](bool) { ++hidings; });
    const QRect place(QPoint(220, 100), QSize(120, 80));
    opened.setGeometry(opened.isWindow() ? place.translated(mapToGlobal(QPoint())) : place);
    opened.show();
  }
  void open(parvel::flow_popup_kind kind) { show_popup(popup.open(kind, this)); }

  QPushButton* button;
  QLineEdit* edit;
  parvel::popup_holder<test_popup> popup;
  int hidings = 0;
};

struct host {
  popup_owner owner;
  int clicks = 0;

  explicit host(parvel::popup_release release = parvel::popup_release::posted) : owner(release) {
    QObject::connect(owner.button, &QPushButton::clicked, [this] { ++clicks; });
    owner.show();
    owner.activateWindow();
    owner.edit->setFocus();
  }
};

// As the program pairs them: a Qt popup destroyed while another is shown
// would close that one too, so only popups typed past leave at the hiding.
parvel::flow_popup_kind kind_released(parvel::popup_release release) {
  return release == parvel::popup_release::at_hiding ? parvel::flow_popup_kind::typed_past
                                                     : parvel::flow_popup_kind::option;
}

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
    QCOMPARE(h.owner.popup.get(), nullptr);

    QTest::mouseClick(h.owner.windowHandle(), Qt::LeftButton, {},
                      h.owner.button->geometry().center());
    QCOMPARE(h.clicks, 1);
  }

  void press_inside_hides_too() {
    host h;
    h.owner.open(parvel::flow_popup_kind::typed_past);
    QPointer<test_popup> popup = h.owner.popup.get();
    QVERIFY(QTest::qWaitForWindowExposed(popup.data()));
    QTest::mouseClick(h.owner.windowHandle(), Qt::RightButton, {},
                      popup->mapTo(&h.owner, QPoint(30, 30)));
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

  // CTest runs this class again at QT_SCALE_FACTOR 1.25, 1.5 and 2, where odd
  // sizes end inside a device pixel: the border stays on the picture's
  // outermost pixels, whatever the list filling the popup paints.
  void a_filled_popup_keeps_its_border_on_every_side_data() {
    QTest::addColumn<QSize>("size");
    for (const QSize size : {QSize(120, 80), QSize(121, 81), QSize(122, 82), QSize(123, 83)})
      QTest::newRow(qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())))
          << size;
  }

  void a_filled_popup_keeps_its_border_on_every_side() {
    QFETCH(QSize, size);
    host h;
    h.owner.open(parvel::flow_popup_kind::option);
    test_popup& popup = *h.owner.popup.get();
    popup.resize(size);
    auto* list = new QWidget(&popup);
    list->setAutoFillBackground(true);
    list->setPalette(QPalette(Qt::white));
    list->setGeometry(popup.contentsRect());
    list->show();
    const QImage picture = popup.grab().toImage();
    const int right = picture.width() - 1;
    const int bottom = picture.height() - 1;
    const QColor border = popup.palette().color(QPalette::Dark);
    const QString mismatch = test_support::first_pixel_mismatch(
        picture, {{"left", {0, bottom / 2}, border},
                  {"top", {right / 2, 0}, border},
                  {"right", {right, bottom / 2}, border},
                  {"bottom", {right / 2, bottom}, border},
                  {"inside", {right / 2, bottom / 2}, Qt::white}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  }

  void release_of_a_hidden_popup_spares_one_opened_since_data() {
    QTest::addColumn<parvel::popup_release>("release");
    QTest::newRow("a link popup") << parvel::popup_release::posted;
    QTest::newRow("a completion popup") << parvel::popup_release::at_hiding;
  }
  void release_of_a_hidden_popup_spares_one_opened_since() {
    QFETCH(parvel::popup_release, release);
    host h(release);
    h.owner.open(kind_released(release));
    QPointer<test_popup> first = h.owner.popup.get();
    first->hide_popup();
    // Opened again before the posted release runs.
    h.owner.open(kind_released(release));
    QPointer<test_popup> second = h.owner.popup.get();
    QTRY_VERIFY(first.isNull());
    QVERIFY(!second.isNull());
    QCOMPARE(h.owner.popup.get(), second.data());
  }

  void a_toggle_drops_the_held_popup_or_opens_one_data() {
    QTest::addColumn<parvel::popup_release>("release");
    QTest::addColumn<bool>("hidden_first");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a shown popup closes") << parvel::popup_release::posted << false << false;
    QTest::newRow("a link popup awaiting its release only closes")
        << parvel::popup_release::posted << true << false;
    QTest::newRow("a completion popup awaiting its release is no longer held")
        << parvel::popup_release::at_hiding << true << true;
  }
  void a_toggle_drops_the_held_popup_or_opens_one() {
    QFETCH(parvel::popup_release, release);
    QFETCH(bool, hidden_first);
    QFETCH(bool, opens);
    host h(release);
    h.owner.open(kind_released(release));
    QPointer<test_popup> first = h.owner.popup.get();
    if (hidden_first)
      first->hide_popup();
    test_popup* const opened = h.owner.popup.toggle(kind_released(release), &h.owner);
    QCOMPARE(opened != nullptr, opens);
    QTRY_VERIFY(first.isNull());
    QCOMPARE(h.owner.popup.get(), opened);
  }

  void popup_deleted_with_its_owner_is_not_deleted_again() {
    auto owner = std::make_unique<QWidget>();
    std::shared_ptr<test_popup> popup =
        parvel::add_control_dispose<test_popup>::make(parvel::flow_popup_kind::option, owner.get());
    QPointer<test_popup> watch = popup.get();
    owner.reset();
    QVERIFY(watch.isNull());
    popup.reset();  // a double delete would trip the sanitizers
  }
};

LUMBREL_WIDGET_TEST(flow_popup_test);

#include "flow_popup_test.moc"
