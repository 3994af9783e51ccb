#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "engine/user/user_config.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/whole/whole_program.hpp"
#include "ui/addphotos/addphotos_convert_list.hpp"
#include "ui/addphotos/addphotos_convert_popup.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/addphotos/addphotos_resize_list.hpp"
#include "ui/addphotos/addphotos_resize_popup.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/controls/link_label.hpp"
#include "ui/rename/addphotos_rename_popup.hpp"
#include "ui/send/send_page.hpp"

namespace {

using whole_test::make_photo;
using whole_test::run_tool;

constexpr int jpeg_row = 3;
constexpr int custom_size_row = 1;

// Unpacks the archive with python's zipfile; each entry's first three bytes
// in hex, by name.
std::map<QString, QByteArray> unpack(const std::string& archive,
                                     const std::filesystem::path& into) {
  const QByteArray listing =
      run_tool(QStringLiteral("python3"),
               {QStringLiteral("-c"),
                QStringLiteral("import sys,zipfile\n"
                               "z=zipfile.ZipFile(sys.argv[1]);z.extractall(sys.argv[2])\n"
                               "for n in z.namelist(): print(n, z.read(n)[:3].hex())"),
                QString::fromStdString(archive), QString::fromStdString(into.string())})
          .output;
  std::map<QString, QByteArray> magic;
  for (const QByteArray& line : listing.split('\n')) {
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() == 2)
      magic[QString::fromUtf8(fields[0])] = fields[1];
  }
  return magic;
}

// "<width>x<height>" as vipsheader decodes the file's header.
QByteArray decoded_size(const std::filesystem::path& file) {
  const QString path = QString::fromStdString(file.string());
  return run_tool(QStringLiteral("vipsheader"),
                  {QStringLiteral("-f"), QStringLiteral("width"), path})
             .output +
         "x" +
         run_tool(QStringLiteral("vipsheader"),
                  {QStringLiteral("-f"), QStringLiteral("height"), path})
             .output;
}

}  // namespace

// A send with every option chosen in its drop-down: JPEG at quality 80, a
// custom size, a renaming scheme and a copy to the sender; then what the
// service holds, and what closing the frame saved.
class whole_converted_send_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { whole_test::prepare_process(); }

  // The options and the user are the process's: the scenario picks JPEG and
  // a custom size through the popups, which the next test must not inherit.
  void cleanup() {
    parvel::resize_option_manager::instance()->set_current({0, 0, 0});
    parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(0));
    parvel::user::instance()->contacts.clear();
  }

  void a_converted_resized_send_with_a_copy_to_myself() {
    whole_test::service_road road;
    parvel::user::instance()->contacts = {"bob@y.example"};
    const std::int32_t counter_before = parvel::user::instance()->get_package()->counter;
    auto frame = std::make_unique<parvel::main_frame>();
    whole_test::frame_driver driver(*frame);
    QVERIFY(driver.show());
    QVERIFY(driver.fill_form(QStringLiteral("Sea & sun"), QStringLiteral("Hi there")));
    const std::filesystem::path folder = road.data_.path() / "photos";
    std::filesystem::create_directories(folder);
    driver.add_photos(
        {make_photo(folder, "one.png", 300, 200), make_photo(folder, "two.png", 200, 300)},
        make_photo(folder, "three.png", 50, 50));

    auto& page = driver.page();
    auto& action = *static_cast<parvel::addphotos_panel_alt*>(
        page.panel_widget(parvel::addphotos_page::panel::action));
    test_support::click(action.rename_link());
    QVERIFY(page.rename_popup());
    auto* prefix = page.rename_popup()->findChildren<QLineEdit*>(QStringLiteral("id_113")).value(0);
    QVERIFY(driver.type(*prefix, QStringLiteral("trip_")));
    test_support::click(action.rename_link());
    QTRY_VERIFY(!page.rename_popup());

    test_support::click(*test_support::control<QLabel>(action, 119));
    QPointer<parvel::addphotos_convert_popup> formats = action.convert_popup();
    QVERIFY(formats && formats->isVisible());
    test_support::click_row(formats->list(), jpeg_row);
    QCOMPARE(parvel::convert_option_manager::instance()->current().format, 3);
    QTRY_VERIFY(formats.isNull());
    auto& quality = *test_support::control<QLineEdit>(page, 122);
    QTRY_VERIFY(quality.isVisible());
    QVERIFY(driver.retype(quality, QStringLiteral("80")));

    test_support::click(*test_support::control<QLabel>(action, 120));
    QPointer<parvel::addphotos_resize_popup> sizes = action.resize_popup();
    QVERIFY(sizes && sizes->isVisible());
    test_support::click_row(sizes->list(), custom_size_row);
    QCOMPARE(parvel::resize_option_manager::instance()->current().kind, 1);
    QTRY_VERIFY(sizes.isNull());
    auto& width = *test_support::control<QLineEdit>(page, 111);
    auto& height = *test_support::control<QLineEdit>(page, 112);
    QTRY_VERIFY(width.isVisible() && height.isVisible());
    QVERIFY(driver.type(width, QStringLiteral("150")));
    QVERIFY(driver.type(height, QStringLiteral("100")));

    // On its box and text, not in the empty width beyond them.
    auto& copy = *test_support::control<QCheckBox>(page, 141);
    test_support::click(copy, QPoint(8, copy.height() / 2));
    QVERIFY(copy.isChecked());

    const QString failure = driver.send_until_success();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const auto packages = road.service_.packages();
    QCOMPARE(packages.size(), std::size_t{1});
    const auto& entry = packages.front().read;
    QCOMPARE(entry.from, std::string("anna@x.example"));
    QCOMPARE(entry.subject, std::string("Sea & sun"));
    QCOMPARE(entry.message, std::string("Hi there"));
    QCOMPARE(entry.recipients,
             (std::vector<std::string>{"carl@z.example", "bob@y.example", "anna@x.example"}));

    const std::string archive =
        (road.data_.path() / packages.front().media_id / "archive.zip").string();
    QCOMPARE(
        run_tool(QStringLiteral("unzip"), {QStringLiteral("-t"), QString::fromStdString(archive)})
            .exit_code,
        0);
    const std::filesystem::path unpacked = road.data_.path() / "unpacked";
    const auto magic = unpack(archive, unpacked);
    // Landscape and portrait photos fit the box turned to their orientation;
    // a smaller one is not enlarged.
    const std::map<QString, QByteArray> sizes_wanted{
        {"trip_one.jpg", "150x100"}, {"trip_two.jpg", "100x150"}, {"trip_three.jpg", "50x50"}};
    QCOMPARE(magic.size(), sizes_wanted.size());
    for (const auto& [name, size] : sizes_wanted) {
      QVERIFY2(magic.contains(name), qPrintable(name));
      QCOMPARE(magic.at(name), QByteArray("ffd8ff"));
      const std::filesystem::path file = unpacked / name.toStdString();
      QCOMPARE(decoded_size(file), size);
      QCOMPARE(
          run_tool(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%Q"),
                                                QString::fromStdString(file.string())})
              .output,
          QByteArray("80"));
    }

    const auto media = road.service_.media();
    QCOMPARE(media.size(), std::size_t{1});
    QCOMPARE(media.front().thumbnails.size(), std::size_t{3});
    for (const auto& thumbnail : media.front().thumbnails) {
      QVERIFY(!thumbnail.image.empty() && std::filesystem::file_size(thumbnail.image) > 0);
    }

    // Closing the frame saves the contact the send added and the raised counter.
    QVERIFY(frame->close());
    const parvel::user_config saved = parvel::user_config::load();
    QCOMPARE(saved.email, std::string("anna@x.example"));
    QCOMPARE(saved.contacts, (std::vector<std::string>{"bob@y.example", "carl@z.example"}));
    QCOMPARE(saved.value, counter_before + 1);
  }
};

LUMBREL_WIDGET_TEST(whole_converted_send_test);
#include "whole_converted_send_test.moc"
