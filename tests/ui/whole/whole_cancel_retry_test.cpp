#include <QMetaObject>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/user/user.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/whole/whole_program.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/send/send_page.hpp"

namespace {

QPushButton& button(parvel::send_page& page, int id) {
  return *test_support::control<QPushButton>(page, id);
}

}  // namespace

// A send cancelled by the person while its archive uploads, then retried
// from the same page to success.
class whole_cancel_retry_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { whole_test::prepare_process(); }

  void cleanup() { parvel::user::instance()->contacts.clear(); }

  void cancel_at_the_first_upload_progress_then_retry_succeeds() {
    whole_test::service_road road;
    parvel::user::instance()->contacts = {"bob@y.example"};
    auto frame = std::make_unique<parvel::main_frame>();
    whole_test::frame_driver driver(*frame);
    QVERIFY(driver.show());
    QVERIFY(driver.fill_form(QStringLiteral("Sea"), QStringLiteral("Hi")));
    const std::filesystem::path folder = road.data_.path() / "photos";
    std::filesystem::create_directories(folder);
    driver.add_photos({whole_test::make_photo(folder, "big.png", 1000, 1000, true)},
                      whole_test::make_photo(folder, "small.png", 50, 50));

    // Pressed from the job's first upload report, which waits for the press:
    // on loopback the upload could otherwise end before a press from here.
    road.recorder_.on_first("upload_progress", [&driver, frame = frame.get()] {
      QMetaObject::invokeMethod(
          frame, [&driver] { test_support::click(button(*driver.send_page(), 2)); },
          Qt::BlockingQueuedConnection);
    });
    QVERIFY(driver.press_send());
    parvel::send_page& sending = *driver.send_page();
    QCOMPARE(driver.wait_for_outcome(), int(parvel::send_canceled));
    QCOMPARE(sending.status_text(), QStringLiteral("Parvel cancelled."));
    QVERIFY(button(sending, 4).isVisible() && button(sending, 8).isVisible());
    QVERIFY(!button(sending, 2).isVisible());
    QCOMPARE(road.received(service::step::package), std::size_t{0});
    QVERIFY(road.service_.packages().empty());

    test_support::click(button(sending, 4));
    QVERIFY2(driver.wait_for_outcome(parvel::send_canceled) == parvel::send_succeeded,
             qPrintable(sending.status_text()));
    const auto packages = road.service_.packages();
    QCOMPARE(packages.size(), std::size_t{1});
    QCOMPARE(packages.front().read.recipients,
             (std::vector<std::string>{"carl@z.example", "bob@y.example"}));
    const std::string archive =
        (road.data_.path() / packages.front().media_id / "archive.zip").string();
    QCOMPARE(whole_test::run_tool(QStringLiteral("unzip"),
                                  {QStringLiteral("-t"), QString::fromStdString(archive)})
                 .exit_code,
             0);
    QCOMPARE(whole_test::archive_names(archive), QByteArray("big.png small.png"));
  }
};

LUMBREL_WIDGET_TEST(whole_cancel_retry_test);
#include "whole_cancel_retry_test.moc"
