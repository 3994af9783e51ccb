#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "engine/user/user.hpp"
#include "tests/support/numbered_list.hpp"
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

  // Row and column of the popup's list in the window's coordinates.
  QPoint cell(int row, int column) const {
    const auto& list = completion->popup()->list();
    return test_support::row_point(list, row, column == 0 ? 10 : list.viewport()->width() - 12);
  }
};

// Key-list entries for a notch of the wheel over the popup's first row, and
// for a window made so low that its bottom cuts the chosen row in half, or
// leaves a sliver of the popup's first row.
constexpr int wheel_towards_user = -1;
constexpr int wheel_away = -2;
constexpr int cut_chosen_row = -3;
constexpr int leave_a_sliver = -4;

void turn_wheel(host& h, int delta) {
  const QPoint at = h.cell(h.completion->popup()->list().first_visible_row(), 0);
  QWheelEvent event(at, h.window.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QGuiApplication::sendEvent(h.handle(), &event);
}

void shrink_window(host& h, int key) {
  const auto& list = h.completion->popup()->list();
  const int chosen = list.selected_rows().front();
  const int height = key == cut_chosen_row ? h.cell(chosen, 0).y()
                                           : list.viewport()->mapTo(&h.window, QPoint()).y() + 4;
  h.window.resize(h.window.width(), height);
  QTRY_COMPARE(h.window.height(), height);
}

// The row lies whole within the part of the popup its window shows.
bool shown_whole(const addphotos_contact_popup& popup, int row) {
  const auto rect = popup.list().row_rect(row);
  if (!rect)
    return false;
  const QWidget& viewport = *popup.list().viewport();
  const QRect in_window(viewport.mapTo(popup.window(), rect->topLeft()), rect->size());
  const QRect shown = popup.geometry() & popup.window()->rect();
  return shown.contains(in_window);
}

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
    // No window of its own, which a Wayland compositor would place anywhere
    // and give the keyboard: a child of the page over the fields under To.
    QVERIFY(!popup->isWindow());
    QCOMPARE(popup->parentWidget(), &h.window);
    QCOMPARE(popup->geometry(), QRect(20, 45, 300, 3 * popup->list().row_height() + 2));
    test_support::type(h.handle(), "ex");  // "annex" is held only by the first contact
    QCOMPARE(popup->list().contacts().size(), std::size_t(1));
    QCOMPARE(popup->height(), popup->list().row_height() + 2);
  }

  void keys_of_the_field_choose_or_close_data() {
    QTest::addColumn<int>("contacts");  // 0: the four of init(), else that many numbered
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("top");  // the row at the popup's top, -1 when not shown
    QTest::newRow("Escape closes it, the field keeps the text")
        << 0 << "an" << QList<int>{Qt::Key_Escape} << "an" << false << -1;
    QTest::newRow("Down stops at the last, Up goes back, Enter chooses")
        << 0 << "an" << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                                   Qt::Key_Down, Qt::Key_Up,   Qt::Key_Enter}
        << "ann@example.org; " << false << -1;
    QTest::newRow("Enter with none selected leaves it to the field")
        << 0 << "an" << QList<int>{Qt::Key_Return} << "an" << true << 0;
    QTest::newRow("Up once chooses the last match, scrolled into view")
        << 300 << "e" << QList<int>{Qt::Key_Up, Qt::Key_Enter} << "p298@example.org; " << false
        << -1;
    QTest::newRow("Down 25 times scrolls the 25th match into view")
        << 300 << "e" << QList<int>(25, Qt::Key_Down) + QList<int>{Qt::Key_Enter}
        << "p032@example.org; " << false << -1;
    QTest::newRow("after a separator Up chooses the last of all, scrolled into view")
        << 300 << "e; " << QList<int>{Qt::Key_Up, Qt::Key_Enter} << "e; q299@x.io; " << false << -1;
    QTest::newRow("after the wheel Enter takes the row it brought under the pointer")
        << 300 << "e" << QList<int>{Qt::Key_Down,       Qt::Key_Down,       Qt::Key_Down,
                                    wheel_towards_user, wheel_towards_user, Qt::Key_Enter}
        << "p008@example.org; " << false << -1;
    QTest::newRow("a window cut through the chosen row scrolls it whole into view; Enter takes it")
        << 300 << "e" << QList<int>(12, Qt::Key_Down) + QList<int>{cut_chosen_row, Qt::Key_Enter}
        << "p014@example.org; " << false << -1;
    QTest::newRow("Enter takes the chosen row in a window that shows a sliver of one")
        << 300 << "e" << QList<int>(5, Qt::Key_Down) + QList<int>{leave_a_sliver, Qt::Key_Enter}
        << "p005@example.org; " << false << -1;
    QTest::newRow("the wheel scrolls either way, three rows a notch")
        << 300 << "e" << QList<int>{wheel_towards_user, wheel_towards_user, wheel_away} << "e"
        << true << 3;
    QTest::newRow("a letter typed after the wheel shows its matches from the first")
        << 300 << "e" << QList<int>{wheel_towards_user, wheel_towards_user, Qt::Key_X} << "ex"
        << true << 0;
  }
  void keys_of_the_field_choose_or_close() {
    QFETCH(int, contacts);
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    if (contacts > 0) {
      // Three in four hold an "e".
      auto& saved = parvel::user::instance()->contacts;
      saved.clear();
      for (int i = 0; i < contacts; ++i)
        saved.push_back(
            QString::asprintf(i % 4 == 3 ? "q%03d@x.io" : "p%03d@example.org", i).toStdString());
    }
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    test_support::type(h.handle(), typed);
    QPointer<addphotos_contact_popup> popup = h.completion->popup();
    QVERIFY(popup && popup->isVisible());
    for (const int key : keys) {
      if (key == wheel_towards_user || key == wheel_away)
        turn_wheel(h, key == wheel_away ? 120 : -120);
      else if (key == cut_chosen_row || key == leave_a_sliver)
        shrink_window(h, key);
      else
        QTest::keyClick(h.handle(), static_cast<Qt::Key>(key));
      // A row the keys choose is a row the user sees chosen, also once the
      // window cuts the popup.
      if (popup && popup->isVisible() &&
          (key == Qt::Key_Up || key == Qt::Key_Down || key == cut_chosen_row)) {
        const std::vector<int> chosen = popup->list().selected_rows();
        if (!chosen.empty())
          QVERIFY2(shown_whole(*popup, chosen.front()), qPrintable(QString::number(chosen[0])));
      }
    }
    QTEST(h.edit->text(), "text");
    QTEST(popup && popup->isVisible(), "shown");
    QTEST(popup && popup->isVisible() ? popup->list().first_visible_row() : -1, "top");
    QCOMPARE(QApplication::focusWidget(), h.edit);
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
    QTest::mouseClick(h.handle(), Qt::LeftButton, {}, h.cell(0, 0));
    QCOMPARE(h.edit->text(), QString("ann; bob@example.org; cy; "));
    QCOMPARE(h.edit->cursorPosition(), h.edit->text().size());
    QTRY_VERIFY(popup.isNull());
  }

  void right_button_acts_as_the_left() {
    host h;
    test_support::type(h.handle(), "jo");
    QTRY_VERIFY(h.completion->popup() && h.completion->popup()->isVisible());
    QTest::mouseClick(h.handle(), Qt::RightButton, {}, h.cell(0, 0));
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
    QTest::mouseMove(h.handle(), h.cell(0, 1));
    QTRY_COMPARE(popup->list().state().hot().column, 1);
    QTest::mouseClick(h.handle(), Qt::LeftButton, {}, h.cell(0, 1));
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
    QTest::mouseMove(h.handle(), h.cell(0, 1));
    QTest::mouseMove(h.handle(), h.cell(1, 1));
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
    QTest::mouseClick(h.handle(), Qt::LeftButton, {}, h.cell(1, 0));
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

  // Every way a text comes from the clipboard or a drop; the middle button's
  // X selection has no offscreen counterpart (run under X to see it).
  void a_paste_keeps_whole_addresses_by_every_route_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("cut");
    using test_support::numbered_list;
    const QString hundreds = numbered_list("person%1@example.com", 500, ", ").chopped(2);
    const QString commas = numbered_list("p%1@example.com", 500, ",");
    const QString two = "first@example.com, last@example.com";
    const QString lines = numbered_list("row%1@example.com", 5, "\n");
    for (const char* route : {"Ctrl+V", "Shift+Insert", "menu", "drop", "middle button"}) {
      const QByteArray name(route);
      const QString path = QString::fromLatin1(route);
      // A drop and the middle button put the caret where they land,
      // replacing no selection.
      if (name != "drop" && name != "middle button") {
        QTest::newRow(name + ": a list over all the text keeps no piece of an address")
            << path << "bob@example.com" << 0 << 15 << hundreds << hundreds.left(184) << true;
      }
      QTest::newRow(name + ": a list between two addresses keeps the second")
          << path << two << 19 << 19 << commas << two.left(19) + commas.left(153) + two.mid(19)
          << true;
      QTest::newRow(name + ": a list in lines is one address a line")
          << path << QString() << 0 << 0 << lines << numbered_list("row%1@example.com", 5, "; ")
          << false;
    }
  }

  void a_paste_keeps_whole_addresses_by_every_route() {
    QFETCH(QString, route);
    QFETCH(QString, before);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, offered);
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.edit->setText(before);
    h.edit->setCursorPosition(start);
    // Where a drop or the middle button lands.
    const QPoint at = h.edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    h.edit->setSelection(start, end - start);
    QGuiApplication::clipboard()->setText(offered);
    if (route == "Ctrl+V") {
      QTest::keyClick(h.handle(), Qt::Key_V, Qt::ControlModifier);
    } else if (route == "Shift+Insert") {
      QTest::keyClick(h.handle(), Qt::Key_Insert, Qt::ShiftModifier);
    } else if (route == "menu") {
      QTest::mouseClick(h.handle(), Qt::RightButton, {}, h.edit->geometry().center());
      QMenu* menu = nullptr;
      QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
      for (QAction* item : menu->actions()) {
        if (item->text().startsWith(QLineEdit::tr("&Paste")))
          item->trigger();
      }
      menu->close();
    } else if (route == "middle button") {
      if (!QGuiApplication::clipboard()->supportsSelection())
        QSKIP("no X selection here");
      QGuiApplication::clipboard()->setText(offered, QClipboard::Selection);
      QTest::mouseClick(h.handle(), Qt::MiddleButton, {}, h.edit->mapTo(&h.window, at));
    } else {
      QMimeData data;
      data.setText(offered);
      QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(h.edit, &enter);
      QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(h.edit, &drop);
      QVERIFY(drop.isAccepted());
    }
    QTEST(h.edit->text(), "after");
    // The note says so when not all went in, under the field; the next edit
    // takes it away.
    const auto* note = h.window.findChild<QLabel*>("recipients_cut_note");
    QFETCH(bool, cut);
    QCOMPARE(note && note->isVisible(), cut);
    if (note && note->isVisible()) {
      QVERIFY(note->text().contains("200 characters"));
      QTest::keyClick(h.handle(), Qt::Key_Backspace);
      QVERIFY(!note->isVisible());
    }
  }

  void a_paste_is_an_undo_step_of_its_own() {
    host h;
    test_support::type(h.handle(), "zed@x.org, ");
    QGuiApplication::clipboard()->setText("ann@y.org");
    QTest::keyClick(h.handle(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), QString("zed@x.org, ann@y.org"));
    QTest::keyClick(h.handle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), QString("zed@x.org, "));
  }

  // Where a field lies under the To field, as the From field on the page,
  // and a panel fills the room above it, the note lies over the field.
  void a_click_through_the_note_reaches_the_field_under_it() {
    // No contacts: the popup that a paste opens would lie over the field too.
    parvel::user::instance()->contacts.clear();
    host h;
    auto* from = new QLineEdit(&h.window);
    from->setGeometry(h.edit->x(), h.edit->geometry().bottom() + 6, h.edit->width(), 24);
    from->show();
    auto* panel = new QWidget(&h.window);
    panel->setGeometry(0, 0, h.window.width(), h.edit->y());
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    QString list;
    for (int i = 0; i < 20; ++i)
      list += QStringLiteral("someone%1@example.com; ").arg(i);
    QGuiApplication::clipboard()->setText(list);
    QTest::keyClick(h.handle(), Qt::Key_V, Qt::ControlModifier);
    const auto* note = h.window.findChild<QLabel*>("recipients_cut_note");
    QVERIFY(note && note->isVisible());
    const QRect over = note->geometry() & from->geometry();
    QVERIFY(!over.isEmpty());
    QTest::mouseClick(h.handle(), Qt::LeftButton, {}, over.center());
    QCOMPARE(QApplication::focusWidget(), from);
    QVERIFY(!note->isVisible());
    test_support::type(h.handle(), "me@x.org");
    QCOMPARE(from->text(), QString("me@x.org"));
    QVERIFY(!h.edit->text().contains("me@x.org"));
  }
};

LUMBREL_WIDGET_TEST(recipients_completion_test);
#include "recipients_completion_test.moc"
