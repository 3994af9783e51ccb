#include <QApplication>
#include <QMetaObject>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
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
};

LUMBREL_WIDGET_TEST(whole_kept_archive_test);
#include "whole_kept_archive_test.moc"
