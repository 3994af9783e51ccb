#include "ui/app/main_frame.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>
#include <filesystem>
#include <thread>

#include "core/base64.hpp"
#include "core/settings/registry.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "engine/user/user_config.hpp"
#include "tests/support/desktop_palette.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/controls/add_control_dispose.hpp"

namespace parvel {

namespace {

// The spread of lightness where the text of a label or a checkbox lies: no
// more than a few steps where the text cannot be told from its background.
int text_spread(const QImage& window, const QWidget& control) {
  QRect area = control.rect();
  if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
    QStyleOptionButton option;
    option.initFrom(box);
    area = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
  }
  QImage text = window.copy(area.translated(control.mapTo(control.window(), QPoint())));
  const int darkest = test_support::darkest(text);
  text.invertPixels();
  return 255 - test_support::darkest(text) - darkest;
}

}  // namespace

class main_frame_test : public QObject {
  Q_OBJECT

  static controller& hub() { return *application::instance()->controller(); }
  static std::string settings_file() {
    return core::user_settings_path(application::instance()->settings()->key_name(), "");
  }

 private Q_SLOTS:
  void init() {
    std::filesystem::remove(settings_file());
    std::filesystem::remove(config_path());
  }

  // The package and the contacts are the user's, one a process.
  void cleanup() {
    const auto package = user::instance()->get_package();
    package->sender.clear();
    package->counter = 0;
    user::instance()->contacts.clear();
  }

  // The minimum tracking size is the outer frame's, decorations included.
  void cannot_be_made_smaller_than_750_by_580() {
    main_frame frame;
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.resize(300, 200);
    QCOMPARE(frame.frameGeometry().size(), QSize(750, 580));
    frame.resize(900, 700);
    QCOMPARE(frame.canvas().geometry(), QRect(0, 0, 900, 700));
  }

  void restored_outer_rectangle_is_shown_and_saved_again_data() {
    QTest::addColumn<QRect>("restored");
    QTest::addColumn<Qt::WindowState>("state");
    QTest::addColumn<QRect>("shown");
    const QRect saved(100, 80, 1000, 700);
    QTest::newRow("a normal window covers the saved rectangle, frame included")
        << saved << Qt::WindowNoState << saved;
    QTest::newRow("the default rectangle is exactly the outer minimum")
        << QRect(50, 20, 750, 580) << Qt::WindowNoState << QRect(50, 20, 750, 580);
    QTest::newRow("a maximised window keeps the saved rectangle to come back to")
        << saved << Qt::WindowMaximized << QRect();
  }

  void restored_outer_rectangle_is_shown_and_saved_again() {
    QFETCH(QRect, restored);
    QFETCH(Qt::WindowState, state);
    QFETCH(QRect, shown);
    main_frame frame;
    frame.restore_frame(restored);
    frame.setWindowState(state);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY2(frame.frameGeometry() != frame.geometry(), "the platform frames its windows");
    if (shown.isValid()) {
      QTRY_COMPARE_WITH_TIMEOUT(frame.frameGeometry(), shown, 5000);
    }
    QVERIFY(frame.close());

    const window_placement stored =
        placement_from_bytes(core::base64_decode(core::read_registry_string(
            "Placement", "", application::instance()->settings()->key_name())));
    QCOMPARE(QRect(stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top),
             restored);
  }

  // The platform takes the decorations away in full screen, as Qt's own
  // title bar on Wayland goes: neither the frame nor its minimum may follow.
  void close_in_full_screen_saves_the_normal_frame() {
    const QRect normal(20, 10, 760, 600);
    main_frame frame;
    frame.restore_frame(normal);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_COMPARE_WITH_TIMEOUT(frame.frameGeometry(), normal, 5000);
    frame.setWindowState(Qt::WindowFullScreen);
    const QRect screen = frame.screen()->geometry();
    QTRY_COMPARE_WITH_TIMEOUT(frame.geometry(), screen, 5000);
    QVERIFY(frame.close());

    const window_placement stored =
        placement_from_bytes(core::base64_decode(core::read_registry_string(
            "Placement", "", application::instance()->settings()->key_name())));
    QCOMPARE(QRect(stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top),
             normal);
    QCOMPARE(stored.show_command, 1);
  }

  void close_saves_placement_settings_and_config() {
    const auto package = user::instance()->get_package();
    package->sender = "ann@example.com";
    package->counter = 3;
    user::instance()->contacts = {"bob@example.com", "cy@example.com"};

    main_frame frame;
    frame.setGeometry(40, 30, 800, 600);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QSignalSpy closed(&frame, &main_frame::closed);
    QVERIFY(frame.close());
    QCOMPARE(closed.count(), 1);

    const window_placement stored =
        placement_from_bytes(core::base64_decode(core::read_registry_string(
            "Placement", "", application::instance()->settings()->key_name())));
    const QRect outer = frame.frameGeometry();
    QCOMPARE(QRect(QPoint(stored.left, stored.top), QPoint(stored.right - 1, stored.bottom - 1)),
             outer);
    QCOMPARE(stored.show_command, 1);
    QCOMPARE(core::read_registry_string("Fullscreen", "",
                                        application::instance()->settings()->key_name()),
             std::string("0"));

    const user_config config = user_config::load();
    QCOMPARE(config.email, std::string("ann@example.com"));
    QCOMPARE(config.contacts, (std::vector<std::string>{"bob@example.com", "cy@example.com"}));
    QCOMPARE(config.value, 3);
  }

  void exit_signal_closes_without_saving() {
    main_frame frame;
    frame.show();
    QSignalSpy closed(&frame, &main_frame::closed);
    hub().do_exit();
    QCOMPARE(closed.count(), 1);
    QVERIFY(frame.isHidden());
    QVERIFY(!std::filesystem::exists(settings_file()));
    QVERIFY(!std::filesystem::exists(config_path()));
  }

  void exit_signal_from_a_worker_closes_on_the_window_thread() {
    main_frame frame;
    QSignalSpy closed(&frame, &main_frame::closed);
    std::thread([] { hub().signal_app_exit(); }).join();
    QCOMPARE(closed.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 5000);
  }

  void hidden_frame_closes_too() {
    main_frame frame;  // as started with "tray": never shown
    QSignalSpy closed(&frame, &main_frame::closed);
    frame.close_window();
    QCOMPARE(closed.count(), 1);
  }

  void taskbar_follows_controller_signals_in_order() {
    main_frame frame;
    std::thread([] {
      hub().on_action_set();
      hub().on_taskbar_progress(0.5f);
      hub().on_action_failed();
    }).join();
    QTRY_VERIFY_WITH_TIMEOUT(
        frame.taskbar().progress().launcher_properties().value("urgent").toBool(), 5000);
    QCOMPARE(frame.taskbar().progress().launcher_properties().value("progress").toDouble(), 0.5);
    hub().on_taskbar_action_succeeded();
    QCOMPARE(frame.taskbar().progress().launcher_properties().value("progress").toDouble(), 1.0);
    hub().on_action_reset();
    QVERIFY(!frame.taskbar().progress().launcher_properties().value("progress-visible").toBool());
  }

  void signals_after_the_frame_is_gone_reach_nothing() {
    { main_frame frame; }
    // A kept connection would call into the destroyed frame (caught by ASan).
    hub().on_action_set();
    hub().on_taskbar_progress(0.1f);
    hub().on_taskbar_action_succeeded();
    hub().on_action_failed();
    hub().on_action_reset();
    QCOMPARE(hub().signal_app_exit.num_slots(), std::size_t{0});
  }

  // The palette a dark desktop scheme gives every window of the application.
  void every_text_reads_under_a_dark_desktop_palette() {
    QApplication::setPalette(test_support::dark_desktop_palette());
    // A custom size shows the size panel's fields and their labels.
    resize_option_manager::instance()->set_current({resize_custom, 800, 600});
    main_frame frame;
    frame.resize(1000, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    static_cast<addphotos_page*>(frame.canvas().page(canvas_view::layer::addphotos))
        ->toggle_rename_popup();
    QStringList checked;
    const QImage picture = frame.grab().toImage();
    for (QWidget* control : frame.findChildren<QWidget*>()) {
      const auto* label = qobject_cast<QLabel*>(control);
      const auto* box = qobject_cast<QCheckBox*>(control);
      const QString text = label ? label->text() : box ? box->text() : QString();
      if (text.trimmed().isEmpty() || !control->isVisibleTo(&frame))
        continue;
      checked << text;
      QVERIFY2(text_spread(picture, *control) > 100, qPrintable(text));
    }
    resize_option_manager::instance()->set_current({});
    for (const char* text : {"To:", "From:", "Photos:", "Send copy to myself", "|", "Resize images",
                             "Rename Scheme:", "Text", "Do Not Change"})
      QVERIFY2(checked.contains(QLatin1String(text)), text);
  }

  void tab_in_message_edit_goes_to_recipients() {
    main_frame frame;
    auto page = add_control_dispose<QWidget>::make();
    auto* recipients = new QLineEdit(page.get());
    recipients->setObjectName(QStringLiteral("id_124"));
    auto* subject = new QLineEdit(page.get());
    auto* message = new QPlainTextEdit(page.get());
    message->setObjectName(QStringLiteral("id_140"));
    frame.canvas().set_page(canvas_view::layer::addphotos, page);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));

    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
      message->setFocus();
      QTest::keyClick(frame.windowHandle(), Qt::Key_Tab, modifiers);
      QCOMPARE(QApplication::focusWidget(), recipients);
      QVERIFY(message->toPlainText().isEmpty());
    }
    subject->setFocus();
    QTest::keyClick(frame.windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), message);  // elsewhere Tab follows the focus chain
  }
};

LUMBREL_WIDGET_TEST(main_frame_test);

}  // namespace parvel

#include "main_frame_test.moc"
