#include <QTest>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/app/application.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "engine/user/user_config.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/whole/whole_program.hpp"
#include "ui/app/application_run.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/send/send_page.hpp"

// The program as its entry starts it: one instance, the frame at its saved
// placement, the update check, the loop; a send through the frame, and the
// loop's end when the person closes it.
class whole_startup_test : public QObject {
  Q_OBJECT

 private:
  // Runs inside the program's loop.
  void send_through(parvel::main_frame& frame, whole_test::service_road& road) {
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    whole_test::frame_driver driver(frame);
    QVERIFY(driver.fill_form(QStringLiteral("Sea"), QStringLiteral("Hi")));
    const std::filesystem::path folder = road.data_.path() / "photos";
    std::filesystem::create_directories(folder);
    driver.add_photos({whole_test::make_photo(folder, "one.png", 300, 200)},
                      whole_test::make_photo(folder, "two.png", 200, 300));
    QVERIFY(driver.press_send());
    QVERIFY2(driver.wait_for_outcome() == parvel::send_succeeded,
             qPrintable(driver.send_page()->status_text()));
    QCOMPARE(road.service_.packages().size(), std::size_t{1});
    // The check the start-up began asked the service's feed.
    QVERIFY(
        QTest::qWaitFor([&road] { return !road.service_.requests(service::step::feed).empty(); }));
  }

 private Q_SLOTS:
  void initTestCase() { whole_test::prepare_process(); }

  // The settings and the user are the process's: a failed scenario must not
  // point the next one at its stopped service.
  void cleanup() {
    parvel::application::instance()->settings()->feed_url.clear();
    parvel::user::instance()->contacts.clear();
  }

  void started_as_the_program_starts_sends_and_saves_on_close() {
    whole_test::service_road road;
    parvel::application::instance()->settings()->feed_url = road.service_.feed_url();
    parvel::user::instance()->contacts = {"bob@y.example"};
    const std::int32_t counter_before = parvel::user::instance()->get_package()->counter;

    bool driven = false;
    QTimer::singleShot(0, [&] {
      parvel::main_frame* frame = whole_test::running_frame();
      if (!frame) {
        QCoreApplication::exit(2);
        return;
      }
      send_through(*frame, road);
      driven = !QTest::currentTestFailed();
      // As the person closes it: the frame saves, and the loop ends.
      frame->close();
    });
    // Imaging is already up in this process; the program's own start beside
    // the loop finds its codecs registered and only logs that.
    std::optional<core::graphics::gdip::gdiplus_background_startup> imaging;
    QCOMPARE(parvel::application_run({}, imaging), 1);
    imaging.reset();
    QVERIFY(driven);
    QVERIFY(!whole_test::running_frame());

    const parvel::user_config saved = parvel::user_config::load();
    QCOMPARE(saved.email, std::string("anna@x.example"));
    QCOMPARE(saved.contacts, (std::vector<std::string>{"bob@y.example", "carl@z.example"}));
    QCOMPARE(saved.value, counter_before + 1);
  }
};

LUMBREL_WIDGET_TEST(whole_startup_test);
#include "whole_startup_test.moc"
