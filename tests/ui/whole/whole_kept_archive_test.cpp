#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QMetaObject>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/support/child_role.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/whole/whole_program.hpp"
#include "ui/app/application_run.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/send/send_page.hpp"

namespace {

namespace fs = std::filesystem;

// The zip archives in the program's temporary folder, by name.
QByteArray archives_left() {
  QByteArray names;
  const fs::path folder = parvel::user::instance()->get_package()->temp_folder();
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".zip")
      names += QByteArray::fromStdString(entry.path().filename().string()) + ' ';
  }
  return names;
}

// The form filled and two photos added, one large enough for several upload
// reports.
bool prepare_send(whole_test::frame_driver& driver, whole_test::service_road& road) {
  if (!driver.fill_form(QStringLiteral("Sea"), QStringLiteral("Hi")))
    return false;
  const fs::path folder = road.data_.path() / "photos";
  fs::create_directories(folder);
  driver.add_photos({whole_test::make_photo(folder, "big.png", 1000, 1000, true)},
                    whole_test::make_photo(folder, "small.png", 50, 50));
  return true;
}

// Set once application_run has returned, which it does only once its jobs
// have ended.
std::atomic<bool> run_returned{false};

// Made once the upload runs, so destroyed at exit before any static object
// made earlier: says so when the run has not returned by then, as the upload
// would meet objects destroyed under it.
struct exit_witness {
  ~exit_witness() {
    if (!run_returned) {
      std::fputs("static objects destroyed while the upload ran\n", stdout);
      std::fflush(stdout);
    }
  }
};

// The whole program on the display it is given, until something ends it:
// prints "uploading" once the archive is on its way, whose answer never comes.
const test_support::child_role upload_until_ended(
    "upload_until_ended", [](const std::vector<std::string>&) {
      // As the program's entry does: a write to the connection of a display
      // that went away would raise SIGPIPE and end the process by the signal.
      std::signal(SIGPIPE, SIG_IGN);
      int argc = 1;
      char name[] = "lumbrel-send-photo";
      char* argv[] = {name, nullptr};
      QApplication application(argc, argv);
      whole_test::prepare_process();
      parvel::user::instance()->contacts = {"bob@y.example"};
      whole_test::service_road road;
      road.service_.set_fault(service::step::archive, {.delay = std::chrono::minutes(10)});
      road.recorder_.on_first("upload_progress", [] {
        static const exit_witness witness;
        std::fputs("uploading\n", stdout);
        std::fflush(stdout);
      });
      QTimer::singleShot(0, [&] {
        parvel::main_frame* frame = whole_test::running_frame();
        whole_test::frame_driver driver(*frame);
        if (!QTest::qWaitForWindowExposed(frame) || !prepare_send(driver, road) ||
            !driver.press_send())
          frame->close();
      });
      std::optional<core::graphics::gdip::gdiplus_background_startup> imaging;
      const int result = parvel::application_run({}, imaging);
      run_returned = true;
      return result;
    });

// A private X server; its display name, empty when it did not start.
QString start_x_server(QProcess& server) {
  // Xvfb picks a free display and names it on its standard output.
  server.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp"), QStringLiteral("-noreset")});
  QByteArray number;
  while (!number.endsWith('\n') && server.waitForReadyRead(30000))
    number += server.readAllStandardOutput();
  return number.endsWith('\n') ? QStringLiteral(":") + QString::fromLatin1(number.trimmed())
                               : QString();
}

// The files below folder, by path, but for the lock that marks it in use.
QStringList files_below(const fs::path& folder) {
  QStringList files;
  if (!fs::exists(folder))
    return files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_directory() && entry.path().filename() != ".in-use")
      files << QString::fromStdString(entry.path().string());
  }
  return files;
}

}  // namespace

// The archive a send keeps for its Retry goes once no Retry can use it.
class whole_kept_archive_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { whole_test::prepare_process(); }

  void init() { parvel::user::instance()->contacts = {"bob@y.example"}; }

  // The photos lie in the scenario's own folder, gone with it.
  void cleanup() {
    parvel::user::instance()->contacts.clear();
    parvel::user::instance()->get_package()->clear_photos();
  }

  void cancel_during_the_upload_then_close_leaves_no_archive() {
    whole_test::service_road road;
    auto frame = std::make_unique<parvel::main_frame>();
    whole_test::frame_driver driver(*frame);
    QVERIFY(driver.show());
    QVERIFY(prepare_send(driver, road));
    // Pressed from the job's first upload report, which waits for the press.
    road.recorder_.on_first("upload_progress", [&driver, frame = frame.get()] {
      QMetaObject::invokeMethod(
          frame,
          [&driver] {
            test_support::click(*test_support::control<QPushButton>(*driver.send_page(), 2));
          },
          Qt::BlockingQueuedConnection);
    });
    QVERIFY(driver.press_send());
    parvel::send_page& sending = *driver.send_page();
    QCOMPARE(driver.wait_for_outcome(), int(parvel::send_canceled));
    // Kept for a Retry.
    QCOMPARE(archives_left(), QByteArray::fromStdString(
                                  parvel::user::instance()->get_package()->archive_name + ' '));

    test_support::click(*test_support::control<QPushButton>(sending, 8));
    QTRY_VERIFY_WITH_TIMEOUT(driver.send_page() == nullptr, 5000);
    QCOMPARE(archives_left(), QByteArray());
  }

  // The whole program, as its entry runs it: the person closes the window
  // while the archive is on its way, whose answer never comes.
  void closing_the_window_during_the_upload_leaves_no_archive() {
    whole_test::service_road road;
    road.service_.set_fault(service::step::archive, {.delay = std::chrono::minutes(2)});
    bool uploading = false;
    road.recorder_.on_first("upload_progress", [&uploading] {
      QMetaObject::invokeMethod(
          qApp,
          [&uploading] {
            uploading = true;
            whole_test::running_frame()->close();
          },
          Qt::BlockingQueuedConnection);
    });
    bool sent = false;
    QTimer::singleShot(0, [&] {
      parvel::main_frame* frame = whole_test::running_frame();
      whole_test::frame_driver driver(*frame);
      sent =
          QTest::qWaitForWindowExposed(frame) && prepare_send(driver, road) && driver.press_send();
      if (!sent)
        frame->close();
    });
    // A send that never uploads ends the loop all the same.
    QTimer give_up;
    give_up.setSingleShot(true);
    QObject::connect(&give_up, &QTimer::timeout, [] { whole_test::running_frame()->close(); });
    give_up.start(whole_test::send_limit_ms);
    std::optional<core::graphics::gdip::gdiplus_background_startup> imaging;
    QCOMPARE(parvel::application_run({}, imaging), 1);
    imaging.reset();
    QVERIFY(sent);
    QVERIFY(uploading);
    QCOMPARE(road.received(service::step::package), std::size_t{0});
    QCOMPARE(archives_left(), QByteArray());
  }

  // A real process on a real X server: a logout takes the display away
  // (Qt then ends the process from inside its loop), a closing terminal
  // sends SIGHUP, Ctrl+C SIGINT.
  void the_archive_goes_whenever_the_program_ends_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("the display goes away") << 0;
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
  }

  void the_archive_goes_whenever_the_program_ends() {
    QFETCH(int, signal);
    QProcess x_server;
    const QString display = start_x_server(x_server);
    QVERIFY2(!display.isEmpty(), "Xvfb started");
    const test_support::temp_folder home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "TMPDIR"}) {
      const fs::path folder = home.path() / name;
      fs::create_directories(folder);
      fs::permissions(folder, fs::perms::owner_all);
      environment.insert(QString::fromLatin1(name), QString::fromStdString(folder.string()));
    }
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // libxkbcommon-x11 reads atom names within their length, unterminated;
    // an exit from inside the loop leaves the whole program allocated.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS")) +
                           QStringLiteral(":strict_string_checks=0:detect_leaks=0"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const std::vector<std::string> command =
        test_support::child_role_command("upload_until_ended", {});
    program.start(QString::fromStdString(command[0]), {QString::fromStdString(command[1])});
    QByteArray said;
    while (!said.contains("uploading\n") && program.waitForReadyRead(whole_test::send_limit_ms))
      said += program.readAllStandardOutput();
    QVERIFY2(said.contains("uploading\n"), said.constData());

    if (signal == 0)
      x_server.terminate();
    else
      ::kill(static_cast<pid_t>(program.processId()), signal);
    QVERIFY(program.waitForFinished(60000));
    x_server.terminate();
    x_server.waitForFinished();
    said += program.readAllStandardOutput();
    QVERIFY2(!said.contains("destroyed"), said.constData());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QCOMPARE(
        files_below(home.path() / "TMPDIR" / ("lumbrel-send-photo-" + std::to_string(::getuid()))),
        QStringList());
  }
};

LUMBREL_WIDGET_TEST(whole_kept_archive_test);
#include "whole_kept_archive_test.moc"
