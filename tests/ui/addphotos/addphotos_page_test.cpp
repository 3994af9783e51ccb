#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/support/fake_photo_dialogs.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/addphotos/photo_list/addphotos_list.hpp"
#include "ui/addphotos/photo_list/photo_dialogs.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/controls/cue_edit.hpp"
#include "ui/controls/link_label.hpp"
#include "ui/rename/addphotos_rename_popup.hpp"

namespace {

using parvel::addphotos_page;
using test_support::click;
using test_support::click_row;
using test_support::control;
using test_support::darkest;
using test_support::type_into;

parvel::package_info& package() {
  return *parvel::user::instance()->get_package();
}

std::vector<std::string> photo_paths() {
  std::vector<std::string> paths;
  for (const auto& photo : package().photos())
    paths.push_back(photo.path);
  return paths;
}

// The darkest-to-blue spread of a picture: our art's blue arrow shows here,
// white and the grey texts do not.
bool has_blue(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.blue() - c.red() > 80)
        return true;
    }
  return false;
}

}  // namespace

class addphotos_page_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test_support::temp_folder> folder_;
  std::unique_ptr<addphotos_page> page_;
  test_support::fake_photo_dialogs* dialogs_ = nullptr;

  QWindow* window() const { return page_->windowHandle(); }
  std::string photo(const std::string& name) const {
    const std::filesystem::path path = folder_->path() / name;
    std::filesystem::create_directories(path.parent_path());
    test_support::write_file(path.string(), "not really a picture");
    return path.string();
  }

  void add_photos(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
      paths.push_back(photo("photo" + std::to_string(i) + ".jpg"));
    package().add_paths(paths);
  }

  void drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    drop(data);
  }

  void drop(const QMimeData& data) {
    const QWidget& list = page_->photo_list();
    const QPointF at = list.mapTo(page_.get(), list.rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(page_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(page_.get(), &dropped);
  }

 private Q_SLOTS:
  void init() {
    folder_ = std::make_unique<test_support::temp_folder>();
    package().clear_photos();
    package().sender.clear();
    parvel::user::instance()->contacts.clear();
    page_ = std::make_unique<addphotos_page>();
    auto dialogs = std::make_unique<test_support::fake_photo_dialogs>();
    dialogs_ = dialogs.get();
    page_->set_dialogs(std::move(dialogs));
    page_->resize(1000, 700);
    page_->show();
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
  }

  void cleanup() {
    page_.reset();
    package().clear_photos();
    parvel::resize_option_manager::instance()->set_current({0, 0, 0});
    parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(0));
  }

  // As the user meets it, in the main frame: Tab in the message edit goes
  // back to the recipients, so what follows the message is reached by
  // Shift+Tab from there.
  void tab_and_shift_tab_go_round_the_page_in_the_frame_data() {
    QTest::addColumn<bool>("size_fields");
    QTest::addColumn<QList<int>>("backward");
    QTest::newRow("original size") << false << QList<int>{1, 141, 140, 124};
    QTest::newRow("custom size") << true << QList<int>{1, 141, 122, 112, 111, 140, 124};
  }

  void tab_and_shift_tab_go_round_the_page_in_the_frame() {
    QFETCH(bool, size_fields);
    QFETCH(QList<int>, backward);
    page_.reset();
    parvel::main_frame frame;
    frame.resize(1000, 700);
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    auto& page =
        dynamic_cast<addphotos_page&>(*frame.canvas().page(parvel::canvas_view::layer::addphotos));
    if (size_fields) {
      // Custom size and JPEG show the size panel's three fields.
      const parvel::photo_convert_option jpeg(3);
      parvel::resize_option_manager::instance()->set_current({1, 0, 0});
      parvel::convert_option_manager::instance()->set_current(jpeg);
      parvel::convert_option_manager::instance()->signal_option_changed(jpeg);
    }
    add_photos(1);  // Send enabled
    QVERIFY(type_into(*control<QLineEdit>(page, 123), QStringLiteral("me@x")));
    QVERIFY(type_into(*control<QLineEdit>(page, 124), QStringLiteral("you@y")));
    const auto key = [&frame](Qt::KeyboardModifiers modifiers) {
      QTest::keyClick(frame.windowHandle(), Qt::Key_Tab, modifiers);
      return QApplication::focusWidget()->objectName().mid(3).toInt();
    };
    for (const int id : {123, 138, 140, 124})
      QCOMPARE(key(Qt::NoModifier), id);
    for (const int id : backward)
      QCOMPARE(key(Qt::ShiftModifier), id);
    // The photo list takes the focus by a click only; Tab goes on from its place.
    click_row(page.photo_list(), 0);
    QCOMPARE(key(Qt::NoModifier), 141);
    click_row(page.photo_list(), 0);
    QCOMPARE(key(Qt::ShiftModifier), backward.at(2));  // what comes before the checkbox
  }

  void apply_in_the_rename_popup_gives_the_focus_back_as_it_was() {
    const auto rename_and_apply = [this] {
      const auto& links = dynamic_cast<parvel::addphotos_panel_alt&>(
          *page_->panel_widget(addphotos_page::panel::action));
      click(links.rename_link());
      click(*control<QPushButton>(*page_->rename_popup(), 1));
      QTest::keyClick(window(), 'x');
    };
    auto* to = control<QLineEdit>(*page_, 124);
    QVERIFY(type_into(*to, QStringLiteral("a@b.org; c@d.org")));
    QVERIFY(type_into(*control<QPlainTextEdit>(*page_, 140), QStringLiteral("hi")));
    rename_and_apply();
    QCOMPARE(control<QPlainTextEdit>(*page_, 140)->toPlainText(), QStringLiteral("hix"));
    QCOMPARE(to->text(), QStringLiteral("a@b.org; c@d.org"));
    click(*to);
    to->setSelection(1, 2);
    rename_and_apply();
    QCOMPARE(to->text(), QStringLiteral("ax.org; c@d.org"));
  }

  void typing_into_the_fields_enables_send_at_once() {
    add_photos(1);
    QVERIFY(!page_->send_button().isEnabled());
    QVERIFY(type_into(*control<QLineEdit>(*page_, 124), QStringLiteral("you@y")));
    QVERIFY(!page_->send_button().isEnabled());
    QVERIFY(type_into(*control<QLineEdit>(*page_, 123), QStringLiteral("  ")));
    QVERIFY(!page_->send_button().isEnabled());
    QTest::keyClick(window(), 'm');
    QVERIFY(page_->send_button().isEnabled());
    package().clear_photos();
    QVERIFY(!page_->send_button().isEnabled());
  }

  void enter_sends_only_when_send_is_possible() {
    parvel::controller& hub = *parvel::application::instance()->controller();
    int commits = 0, opened = 0;
    const boost::signals2::scoped_connection c1 =
        hub.signal_commit_updates.connect([&] { ++commits; });
    const boost::signals2::scoped_connection c2 =
        hub.signal_send_window_opened.connect([&] { ++opened; });
    QVERIFY(type_into(*control<QLineEdit>(*page_, 124), QStringLiteral("you@y")));
    QVERIFY(type_into(*control<QLineEdit>(*page_, 123), QStringLiteral("me@x")));
    QTest::keyClick(window(), Qt::Key_Return);  // no photo yet
    QCOMPARE(commits, 0);
    add_photos(2);
    QTest::keyClick(window(), Qt::Key_Return);
    QCOMPARE(commits, 1);
    QCOMPARE(opened, 1);
    QCOMPARE(package().recipients, std::vector<std::string>{"you@y"});
    QCOMPARE(package().sender, std::string("me@x"));
  }

  void delete_key_removes_exactly_the_selected_photos() {
    add_photos(5);
    const std::vector<std::string> before = photo_paths();
    click_row(page_->photo_list(), 1);
    click_row(page_->photo_list(), 3, Qt::ControlModifier);
    QTest::keyClick(window(), Qt::Key_Delete);
    QCOMPARE(photo_paths(), (std::vector<std::string>{before[0], before[2], before[4]}));
    QCOMPARE(page_->photo_list().row_count(), 3);
    QVERIFY(page_->photo_list().selected_rows().empty());
  }

  void menu_delete_removes_the_selected_photos() {
    add_photos(4);
    const std::vector<std::string> before = photo_paths();
    click_row(page_->photo_list(), 0);
    click_row(page_->photo_list(), 2, Qt::ControlModifier);
    bool offered = false;
    QTimer::singleShot(0, this, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu)
        return;
      QAction* remove = control<QAction>(*menu, 126);
      offered = remove && remove->text() == QStringLiteral("Delete");
      if (remove)
        remove->trigger();
      menu->close();
    });
    click_row(page_->photo_list(), 2, Qt::ControlModifier, Qt::RightButton);
    QVERIFY(offered);
    QCOMPARE(photo_paths(), (std::vector<std::string>{before[1], before[3]}));
  }

  void selection_beyond_a_shrunk_set_is_dropped() {
    add_photos(6);
    click_row(page_->photo_list(), 4);
    click_row(page_->photo_list(), 5, Qt::ShiftModifier);
    package().clear_photos();  // a reset from elsewhere
    add_photos(3);
    QVERIFY(page_->photo_list().selected_rows().empty());
    click_row(page_->photo_list(), 2);
    package().remove_photos({package().photos()[0]});
    QCOMPARE(page_->photo_list().selected_rows(), std::vector<int>{});
    page_->photo_list().remove_selected();  // nothing selected: nothing happens
    QCOMPARE(package().photo_count(), std::size_t{2});
  }

  void drop_adds_files_and_folders_in_order() {
    const std::string b = photo("b.jpg");
    photo("folder/c.jpg");
    photo("folder/d.png");
    photo("folder/inner/e.jpg");
    const std::string text = photo("notes.txt");
    const std::string a = photo("a.png");
    const std::string gone = (folder_->path() / "gone.jpg").string();
    const auto url = [](const std::string& path) {
      return QUrl::fromLocalFile(QString::fromStdString(path));
    };
    drop({url(b), url((folder_->path() / "folder").string()), url(text), url(b), url(gone),
          QUrl(QStringLiteral("https://example.org/x.jpg")), url(a)});
    const std::string f = (folder_->path() / "folder").string();
    QCOMPARE(photo_paths(), (std::vector<std::string>{b, f + "/c.jpg", f + "/d.png", a}));
    QCOMPARE(page_->photo_list().row_count(), 4);
  }

  // As a file manager lists them, percent-encoded byte for byte: Latin-1
  // names from an old camera's card beside signs that mean something in an
  // address.
  void drop_adds_names_that_are_not_utf8_byte_for_byte() {
    std::vector<std::string> expected;
    for (const char* name :
         {"\xe9t\xe9.jpg", "\xff\xfe.jpg", "100%.jpg", "#hash.jpg", "normal.jpg"})
      expected.push_back(photo(name));
    expected.push_back(
        photo("bad\xe9"
              "dir/\xe9"
              "cole.jpg"));
    const std::string folder = (folder_->path() /
                                "bad\xe9"
                                "dir")
                                   .string();
    QByteArray list;
    for (const std::string& path :
         {expected[0], expected[1], expected[2], expected[3], expected[4], folder})
      list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), list);
    drop(data);
    QCOMPARE(photo_paths(), expected);
    QCOMPARE(page_->photo_list().row_count(), 6);
  }

  // The default window's page, scrolled to the end by the wheel and by End.
  void the_list_scrolled_to_the_end_shows_its_last_row_whole_data() {
    QTest::addColumn<int>("photos");
    QTest::addColumn<bool>("wheel");
    for (const int photos : {18, 31}) {
      QTest::addRow("%d photos by the wheel", photos) << photos << true;
      QTest::addRow("%d photos by End", photos) << photos << false;
    }
  }

  void the_list_scrolled_to_the_end_shows_its_last_row_whole() {
    QFETCH(int, photos);
    QFETCH(bool, wheel);
    page_->resize(748, 555);
    add_photos(photos);
    parvel::addphotos_list& list = page_->photo_list();
    QVERIFY(list.verticalScrollBar()->isVisible());
    if (wheel) {
      for (int notch = 0; notch < photos; ++notch) {
        QWheelEvent turn(QPointF(20, 20), list.viewport()->mapToGlobal(QPointF(20, 20)), {},
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list.viewport(), &turn);
      }
    } else {
      click_row(list, 0);
      QTest::keyClick(window(), Qt::Key_End);
    }
    const std::optional<QRect> last = list.row_rect(photos - 1);
    QVERIFY(last);
    QVERIFY(list.viewport()->rect().contains(*last));
  }

  void empty_list_shows_its_picture_and_a_click_opens_the_file_dialog() {
    parvel::addphotos_list& list = page_->photo_list();
    QVERIFY(has_blue(list.grab().toImage()));
    dialogs_->files = {QString::fromStdString(photo("x.jpg")),
                       QString::fromStdString(photo("y.gif"))};
    click(*list.viewport());
    QCOMPARE(dialogs_->opened, 1);
    QCOMPARE(dialogs_->selected_filter_seen, 7);
    QVERIFY(dialogs_->filters_seen.value(7).startsWith(QStringLiteral("All Picture Files")));
    QCOMPARE(package().photo_count(), std::size_t{2});
    QVERIFY(list.background_image().isNull());
    QVERIFY(!has_blue(list.grab().toImage()));
    click(*list.viewport(), QPoint(20, list.viewport()->height() - 5));
    QCOMPARE(dialogs_->opened, 1);  // rows now: no dialog
  }

  void add_folder_adds_the_pictures_directly_inside() {
    photo("pick/one.jpg");
    photo("pick/deeper/two.jpg");
    dialogs_->folders = {QString::fromStdString((folder_->path() / "pick").string())};
    page_->on_add_folder();
    QCOMPARE(photo_paths(), std::vector<std::string>{(folder_->path() / "pick/one.jpg").string()});
    dialogs_->folders.clear();  // cancelled
    page_->on_add_folder();
    QCOMPARE(package().photo_count(), std::size_t{1});
  }

  void cue_text_shows_only_while_empty_and_unfocused() {
    auto* from = control<parvel::cue_edit>(*page_, 123);
    QVERIFY(from->text().isEmpty());
    QVERIFY(!from->hasFocus());
    // Inside the frame, clear of the caret at the left.
    const QRect inside = from->rect().adjusted(8, 4, -8, -4);
    QVERIFY(darkest(from->grab(inside).toImage()) < 200);  // the grey cue
    click(*from);
    QVERIFY(from->hasFocus());
    QVERIFY(darkest(from->grab(inside).toImage()) > 200);
    QTest::keyClick(window(), 'x');
    click(*control<QLineEdit>(*page_, 124));
    QVERIFY(darkest(from->grab(inside).toImage()) < 200);  // the text itself
  }

  void message_counter_counts_down_and_stops_at_the_limit() {
    auto* counter = control<QLabel>(*page_, 147);
    QCOMPARE(counter->text(), QStringLiteral("(300)"));
    QVERIFY(type_into(*control<QPlainTextEdit>(*page_, 140), QStringLiteral("hello")));
    QCOMPARE(counter->text(), QStringLiteral("(295)"));
    control<QPlainTextEdit>(*page_, 140)->insertPlainText(QString(400, QLatin1Char('x')));
    QCOMPARE(control<QPlainTextEdit>(*page_, 140)->toPlainText().size(), 300);
    QVERIFY(
        control<QPlainTextEdit>(*page_, 140)->toPlainText().startsWith(QStringLiteral("hello")));
    QCOMPARE(counter->text(), QStringLiteral("(0)"));
  }

  void message_keeps_what_fits_at_the_limit_data() {
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caret_after");
    const QString a(298, QLatin1Char('a'));
    const QString long_paste = QString(991, QLatin1Char('m')) + " see you.";
    QTest::newRow("a paste that fits stands")
        << true << a << 5 << 0 << "XY" << a.left(5) + "XY" + a.mid(5) << 7;
    QTest::newRow("a paste in the middle is cut to what fits")
        << true << a << 100 << 0 << "XYZ" << a.left(100) + "XY" + a.mid(100) << 102;
    QTest::newRow("a paste over text it ends like keeps its own start")
        << true << "see you." << 0 << 8 << long_paste << long_paste.left(300) << 300;
    QTest::newRow("a paste that does not fit at all is refused")
        << true << a + "bb" << 10 << 0 << "c" << a + "bb" << 10;
    QTest::newRow("typing in the middle keeps what fits")
        << false << a << 100 << 0 << "XYZ" << a.left(100) + "XY" + a.mid(100) << 102;
    QTest::newRow("typing at the limit is refused where the caret stands")
        << false << a + "bb" << 10 << 0 << "c" << a + "bb" << 10;
    QTest::newRow("text the program set past the limit stays, and takes no more")
        << false << QString(400, QLatin1Char('p')) << 400 << 0 << "c"
        << QString(400, QLatin1Char('p')) << 400;
    QTest::newRow("a character of two units that does not fit goes whole")
        << false << a + "b" << 299 << 0 << QString::fromUtf8("\U0001F600") << a + "b" << 299;
  }

  void message_keeps_what_fits_at_the_limit() {
    QFETCH(bool, pasted);
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(int, selected);
    QFETCH(QString, inserted);
    auto* message = control<QPlainTextEdit>(*page_, 140);
    QVERIFY(type_into(*message, {}));
    message->setPlainText(before);
    QTextCursor cursor = message->textCursor();
    cursor.setPosition(caret);
    cursor.setPosition(caret + selected, QTextCursor::KeepAnchor);
    message->setTextCursor(cursor);
    if (pasted) {
      QGuiApplication::clipboard()->setText(inserted);
      QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
    } else {
      message->insertPlainText(inserted);  // as typing and an input method's text arrive
    }
    QTEST(message->toPlainText(), "after");
    QTEST(message->textCursor().position(), "caret_after");
    QCOMPARE(control<QLabel>(*page_, 147)->text(),
             QStringLiteral("(%1)").arg(300 - message->toPlainText().size()));
  }

  // An X clipboard whose owner is gone offers no format at all.
  void message_paste_takes_only_text_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("after");
    QTest::newRow("nothing on the clipboard") << QString() << "ab";
    QTest::newRow("text") << "text/plain"
                          << "ab pasted";
    QTest::newRow("an image only") << "image/png"
                                   << "ab";
  }

  void message_paste_takes_only_text() {
    QFETCH(QString, format);
    auto* data = new QMimeData;
    if (!format.isEmpty())
      data->setData(format, " pasted");
    QGuiApplication::clipboard()->setMimeData(data);
    auto* message = control<QPlainTextEdit>(*page_, 140);
    QVERIFY(type_into(*message, QStringLiteral("ab")));
    QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
    QTEST(message->toPlainText(), "after");
  }

  void successful_upload_empties_the_form_and_raises_the_counter() {
    add_photos(3);
    QVERIFY(type_into(*control<QLineEdit>(*page_, 124), QStringLiteral("you@y")));
    QVERIFY(type_into(*control<QLineEdit>(*page_, 123), QStringLiteral("me@x")));
    QVERIFY(type_into(*control<QLineEdit>(*page_, 138), QStringLiteral("hi")));
    QVERIFY(type_into(*control<QPlainTextEdit>(*page_, 140), QStringLiteral("text")));
    control<QCheckBox>(*page_, 141)->setChecked(true);
    page_->on_send();
    const int counter = package().counter;
    std::thread worker(
        [] { parvel::application::instance()->controller()->on_photo_upload_succeeded(); });
    worker.join();
    QTRY_VERIFY(control<QLineEdit>(*page_, 124)->text().isEmpty());
    QVERIFY(control<QLineEdit>(*page_, 138)->text().isEmpty());
    QVERIFY(control<QPlainTextEdit>(*page_, 140)->toPlainText().isEmpty());
    QCOMPARE(control<QLineEdit>(*page_, 123)->text(), QStringLiteral("me@x"));
    QVERIFY(control<QCheckBox>(*page_, 141)->isChecked());
    QCOMPARE(page_->photo_list().row_count(), 0);
    QVERIFY(package().recipients.empty());
    QCOMPARE(package().counter, counter + 1);
    QVERIFY(!page_->send_button().isEnabled());
    package().make_archive_name();
    QVERIFY(QString::fromStdString(package().archive_name)
                .endsWith(QStringLiteral("-%1.zip").arg(counter + 1)));
  }
};

LUMBREL_WIDGET_TEST(addphotos_page_test);

#include "addphotos_page_test.moc"
