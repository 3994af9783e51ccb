#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <memory>

#include "engine/user/user.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_form.hpp"
#include "ui/addphotos/recipients/addphotos_contact_list.hpp"
#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"
#include "ui/addphotos/recipients/recipients_completion.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/controls/add_control_dispose.hpp"

namespace {

using parvel::addphotos_contact_popup;

// A page as far as the completion sees it: a window holding the To edit.
struct host {
  QWidget window;
  QLineEdit* edit;
  parvel::recipients_completion* completion;

  host() {
    window.resize(600, 400);
    edit = new QLineEdit(&window);
    edit->setGeometry(20, 20, 300, 24);
    edit->setMaxLength(200);
    completion = new parvel::recipients_completion(*edit);
    window.show();
    window.activateWindow();
    edit->setFocus();
  }

  QWindow* handle() { return window.windowHandle(); }

  // Row and column of the popup's list in the popup window's coordinates.
  QPoint cell(int row, int column) const {
    const auto& list = completion->popup()->list();
    return test_support::row_point(list, row, column == 0 ? 10 : list.viewport()->width() - 12);
  }
};

}  // namespace

class recipients_completion_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    parvel::user::instance()->contacts = {"annex@mail.org", "bob@example.org", "joann@x.org",
                                          "ann@example.org"};
  }

  void cleanup() { parvel::user::instance()->contacts.clear(); }

  void typing_a_match_opens_the_popup_and_keeps_typing_in_the_field() {
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    test_support::type(h.handle(), "an");
    QVERIFY(h.completion->popup() != nullptr);
    QTRY_VERIFY(h.completion->popup()->isVisible());
    test_support::type(h.handle(), "n");
    QCOMPARE(h.edit->text(), QString("ann"));
    QCOMPARE(QApplication::focusWidget(), h.edit);
    addphotos_contact_popup* popup = h.completion->popup();
    QCOMPARE(popup->list().contacts(),
             (std::vector<std::string>{"annex@mail.org", "ann@example.org", "joann@x.org"}));
    const QPoint under = h.edit->mapToGlobal(QPoint(0, h.edit->height() + 1));
    QCOMPARE(popup->geometry(), QRect(under, QSize(300, 3 * popup->list().row_height() + 2)));
    test_support::type(h.handle(), "ex");  // "annex" is held only by the first contact
    QCOMPARE(popup->list().contacts().size(), std::size_t(1));
    QCOMPARE(popup->height(), popup->list().row_height() + 2);
  }

  void no_match_creates_nothing_and_hides_a_shown_popup() {
    host h;
    test_support::type(h.handle(), "zz");
    QVERIFY(h.completion->popup() == nullptr);
    h.edit->clear();
    test_support::type(h.handle(), "bo");
    QPointer<addphotos_contact_popup> popup = h.completion->popup();
    QVERIFY(popup);
    test_support::type(h.handle(), "q");
    QVERIFY(!popup || !popup->isVisible());
    QTRY_VERIFY(popup.isNull());
  }

  void text_set_by_the_program_opens_nothing() {
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    for (const QString& text : {QString("bob"), QString("ann; bob@example.org; "), QString()}) {
      h.edit->setText(text);
      QVERIFY2(h.completion->popup() == nullptr, qPrintable(text));
    }
    test_support::type(h.handle(), "bo");
    QVERIFY(h.completion->popup() != nullptr);
  }

  void a_shown_popup_hides_when_a_page_covers_the_field() {
    parvel::canvas_view canvas;
    canvas.resize(600, 400);
    auto page = parvel::add_control_dispose<QWidget>::make();
    auto* edit = new QLineEdit(page.get());
    edit->setGeometry(20, 20, 300, 24);
    auto* completion = new parvel::recipients_completion(*edit);
    canvas.set_page(parvel::canvas_view::layer::addphotos, page);
    canvas.show();
    canvas.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&canvas));
    test_support::click(*edit);
    test_support::type(canvas.windowHandle(), "an");
    QPointer<addphotos_contact_popup> popup = completion->popup();
    QTRY_VERIFY(popup && popup->isVisible());
    canvas.set_page(parvel::canvas_view::layer::send, parvel::add_control_dispose<QWidget>::make());
    QVERIFY(!popup || !popup->isVisible());
    QTRY_VERIFY(popup.isNull());
    // Uncovered, the field offers contacts again only when typed in.
    canvas.set_page(parvel::canvas_view::layer::send, nullptr);
    QVERIFY(completion->popup() == nullptr);
    test_support::click(*edit);
    test_support::type(canvas.windowHandle(), "n");
    QTRY_VERIFY(completion->popup() && completion->popup()->isVisible());
  }

  void a_shown_popup_hides_when_the_focus_leaves_for_another_control_or_window() {
    host h;
    auto* from = new QLineEdit(&h.window);
    from->show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
      h.edit->clear();
      h.edit->setFocus();
      test_support::type(h.handle(), "a");
      QPointer<addphotos_contact_popup> shown = h.completion->popup();
      QTRY_VERIFY(shown && shown->isVisible());
      QTest::keyClick(h.handle(), Qt::Key_Tab, modifiers);
      QCOMPARE(QApplication::focusWidget(), from);
      QTRY_VERIFY(shown.isNull());
    }
    h.edit->setFocus();
    test_support::type(h.handle(), "n");
    QPointer<addphotos_contact_popup> popup = h.completion->popup();
    QTRY_VERIFY(popup && popup->isVisible());
    QWidget other;
    other.setGeometry(700, 100, 200, 100);
    other.show();
    other.activateWindow();
    QTRY_VERIFY(popup.isNull());
  }

  void choosing_replaces_exactly_the_recipient_under_the_caret() {
    host h;
    h.edit->setText("ann; b; cy");
    h.edit->setCursorPosition(6);
    test_support::type(h.handle(), "o");
    QVERIFY(h.completion->popup() != nullptr);
    QTRY_VERIFY(h.completion->popup()->isVisible());
    QPointer<addphotos_contact_popup> popup = h.completion->popup();
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, h.cell(0, 0));
    QCOMPARE(h.edit->text(), QString("ann; bob@example.org; cy; "));
    QCOMPARE(h.edit->cursorPosition(), h.edit->text().size());
    QTRY_VERIFY(popup.isNull());
  }

  void right_button_acts_as_the_left() {
    host h;
    test_support::type(h.handle(), "jo");
    QTRY_VERIFY(h.completion->popup() && h.completion->popup()->isVisible());
    QTest::mouseClick(h.completion->popup()->windowHandle(), Qt::RightButton, {}, h.cell(0, 0));
    QCOMPARE(h.edit->text(), QString("joann@x.org; "));
  }

  void click_outside_closes_without_moving_the_caret() {
    host h;
    test_support::type(h.handle(), "ann");
    h.edit->setCursorPosition(1);
    QPointer<addphotos_contact_popup> popup = h.completion->popup();
    QTRY_VERIFY(popup && popup->isVisible());
    QTest::mouseClick(h.handle(), Qt::LeftButton, {}, QPoint(300, 32));
    QVERIFY(!popup || !popup->isVisible());
    QCOMPARE(h.edit->cursorPosition(), 1);
    QCOMPARE(h.edit->text(), QString("ann"));
    QTRY_VERIFY(popup.isNull());
  }

  void the_cross_removes_the_contact_and_leaves_the_field() {
    host h;
    test_support::type(h.handle(), "bob");
    QPointer<addphotos_contact_popup> popup = h.completion->popup();
    QTRY_VERIFY(popup && popup->isVisible());
    QTest::mouseMove(popup->windowHandle(), h.cell(0, 1));
    QTRY_COMPARE(popup->list().state().hot().column, 1);
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, h.cell(0, 1));
    QCOMPARE(parvel::user::instance()->contacts,
             (std::vector<std::string>{"annex@mail.org", "joann@x.org", "ann@example.org"}));
    QCOMPARE(h.edit->text(), QString("bob"));
    QTRY_VERIFY(popup.isNull());
  }

  void the_row_under_the_mouse_stays_hot_while_the_rows_reach_it_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("hot_row");
    QTest::newRow("three rows still") << QString("n") << 1;
    QTest::newRow("one row left") << QString("nex") << -1;
  }
  void the_row_under_the_mouse_stays_hot_while_the_rows_reach_it() {
    QFETCH(QString, typed);
    QFETCH(int, hot_row);
    host h;
    test_support::type(h.handle(), "an");
    QPointer<addphotos_contact_popup> popup = h.completion->popup();
    QTRY_VERIFY(popup && popup->isVisible());
    // From another row: the last row of the table left the mouse on this one.
    QTest::mouseMove(popup->windowHandle(), h.cell(0, 1));
    QTest::mouseMove(popup->windowHandle(), h.cell(1, 1));
    QTRY_COMPARE(popup->list().state().hot().row, 1);
    test_support::type(h.handle(), typed);
    QVERIFY(popup && popup->isVisible());
    QCOMPARE(popup->list().state().hot().row, hot_row);
  }

  void a_popup_opened_before_the_release_of_the_last_survives() {
    host h;
    test_support::type(h.handle(), "ann");
    QPointer<addphotos_contact_popup> first = h.completion->popup();
    QVERIFY(first);
    h.edit->insert("z");  // matches nothing: hides, released later
    QVERIFY(!first->isVisible());
    h.edit->backspace();  // matches again before the release ran
    QPointer<addphotos_contact_popup> second = h.completion->popup();
    QVERIFY(second && second != first);
    QTRY_VERIFY(first.isNull());
    QVERIFY(second && second->isVisible());
  }

  void a_long_normalised_list_keeps_every_recipient() {
    host h;
    QString text;
    for (int i = 0; i < 17; ++i)
      text += QStringLiteral("u%1@xy.org,").arg(i, 2, 10, QChar('0'));
    h.edit->setText(text);
    test_support::type(h.handle(), "an");
    QTRY_VERIFY(h.completion->popup() && h.completion->popup()->isVisible());
    QTest::mouseClick(h.completion->popup()->windowHandle(), Qt::LeftButton, {}, h.cell(1, 0));
    QVERIFY(h.edit->text().size() > 200);
    QCOMPARE(parvel::split_recipients(h.edit->text()).size(), 18);
    QVERIFY(h.edit->text().endsWith("ann@example.org; "));
    // Typing stays limited; shortening does not.
    const QString full = h.edit->text();
    QTest::keyClick(h.handle(), 'x');
    QCOMPARE(h.edit->text(), full);
    QTest::keyClick(h.handle(), Qt::Key_Backspace);
    QCOMPARE(h.edit->text(), full.chopped(1));
  }

  void a_pasted_list_keeps_the_whole_addresses_that_fit_and_says_so() {
    host h;
    QString list;
    for (int i = 0; i < 500; ++i)
      list += QStringLiteral("person%1@example.com, ").arg(i, 3, 10, QChar('0'));
    QGuiApplication::clipboard()->setText(list);
    QTest::keyClick(h.handle(), Qt::Key_V, Qt::ControlModifier);
    const QStringList recipients = parvel::split_recipients(h.edit->text());
    QVERIFY(h.edit->text().size() <= 200);
    QCOMPARE(recipients.size(), 8);
    for (const QString& recipient : recipients)
      QVERIFY2(QRegularExpression("^person\\d{3}@example\\.com$").match(recipient).hasMatch(),
               qPrintable(recipient));
    const auto* note = h.window.findChild<QLabel*>("recipients_cut_note");
    QVERIFY(note && note->isVisible());
    QVERIFY(note->text().contains("200 characters"));
    QTest::keyClick(h.handle(), Qt::Key_Backspace);
    QVERIFY(!note->isVisible());
  }
};

LUMBREL_WIDGET_TEST(recipients_completion_test);
#include "recipients_completion_test.moc"
