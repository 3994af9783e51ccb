#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/whole/whole_program.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/addphotos/addphotos_panel_alt_link.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/rename/addphotos_rename_popup.hpp"
#include "ui/send/send_page.hpp"

using whole_test::make_photo;

// The program through its windows: a frame as the program starts it, a form
// typed into it, photos from the dialog and a drop, a renaming scheme, Send,
// and what the service received.
class whole_send_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { whole_test::prepare_process(); }

  void a_typed_send_reaches_the_service_renamed() {
    whole_test::service_road road;
    parvel::user::instance()->contacts = {"bob@y.example"};
    auto frame = std::make_unique<parvel::main_frame>();
    whole_test::frame_driver driver(*frame);
    QVERIFY(driver.show());
    QVERIFY(driver.fill_form(QStringLiteral("Sea"), QStringLiteral("Hi")));

    const std::filesystem::path folder = road.data_.path() / "photos";
    std::filesystem::create_directories(folder);
    driver.add_photos(
        {make_photo(folder, "one.png", 300, 200), make_photo(folder, "two.png", 200, 300)},
        make_photo(folder, "three.png", 50, 50));
    QCOMPARE(parvel::user::instance()->get_package()->photo_count(), std::size_t{3});

    auto& page = driver.page();
    auto* action = static_cast<parvel::addphotos_panel_alt*>(
        page.panel_widget(parvel::addphotos_page::panel::action));
    driver.click(action->rename_link());
    QVERIFY(page.rename_popup());
    auto* prefix = page.rename_popup()->findChildren<QLineEdit*>(QStringLiteral("id_113")).value(0);
    QVERIFY(driver.type(*prefix, QStringLiteral("trip_")));

    // The first press outside only closes the popup.
    driver.click(page.send_button());
    QTRY_VERIFY(!page.rename_popup());
    QVERIFY(driver.press_send());
    QVERIFY2(driver.wait_for_outcome() == parvel::send_succeeded,
             qPrintable(driver.send_page()->status_text()));

    const auto packages = road.service_.packages();
    QCOMPARE(packages.size(), std::size_t{1});
    const auto& entry = packages.front().read;
    QCOMPARE(entry.from, std::string("anna@x.example"));
    QCOMPARE(entry.subject, std::string("Sea"));
    QCOMPARE(entry.message, std::string("Hi"));
    QCOMPARE(entry.recipients, (std::vector<std::string>{"carl@z.example", "bob@y.example"}));
    const std::string archive =
        (road.data_.path() / packages.front().media_id / "archive.zip").string();
    QCOMPARE(whole_test::run_tool(QStringLiteral("unzip"),
                                  {QStringLiteral("-t"), QString::fromStdString(archive)})
                 .exit_code,
             0);
    QCOMPARE(whole_test::archive_names(archive),
             QByteArray("trip_one.png trip_three.png trip_two.png"));
  }
};

LUMBREL_WIDGET_TEST(whole_send_test);
#include "whole_send_test.moc"
