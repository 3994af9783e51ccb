#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/user/user.hpp"
#include "tests/support/numbered_list.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/whole/whole_program.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/controls/cue_edit.hpp"
#include "ui/send/send_page.hpp"

namespace {

using test_support::numbered_list;

std::vector<std::string> numbered_addresses(const char* format, int count) {
  std::vector<std::string> addresses;
  for (const QString& address : numbered_list(format, count, ",").split(',', Qt::SkipEmptyParts))
    addresses.push_back(address.toStdString());
  return addresses;
}

// Ctrl+V with the text on the clipboard, into the focused field.
void paste(QWindow* window, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<std::string>)

// Lists pasted into the To field, and a long text over the message, sent:
// what the service receives is what the fields showed, and the sender typed
// next, after a click through the note on the From field, is the sender.
class whole_pasted_recipients_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { whole_test::prepare_process(); }

  void cleanup() { parvel::user::instance()->contacts.clear(); }

  void the_service_receives_what_the_fields_show_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<std::vector<std::string>>("recipients");
    QTest::newRow("a list over the whole field")
        << "bob@example.com" << 0 << 15
        << numbered_list("person%1@example.com", 500, ", ").chopped(2)
        << numbered_addresses("person%1@example.com", 8);
    std::vector<std::string> between{std::string("first@example.com")};
    for (std::string& address : numbered_addresses("p%1@example.com", 9))
      between.push_back(std::move(address));
    between.push_back(std::string("last@example.com"));
    QTest::newRow("a list between two addresses")
        << "first@example.com, last@example.com" << 19 << 19
        << numbered_list("p%1@example.com", 500, ",") << between;
    QTest::newRow("a list in lines")
        << QString() << 0 << 0 << numbered_list("row%1@example.com", 5, "\n")
        << numbered_addresses("row%1@example.com", 5);
  }

  void the_service_receives_what_the_fields_show() {
    QFETCH(QString, before);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, pasted);
    QFETCH(std::vector<std::string>, recipients);
    whole_test::service_road road;
    auto frame = std::make_unique<parvel::main_frame>();
    whole_test::frame_driver driver(*frame);
    QVERIFY(driver.show());
    parvel::addphotos_page& page = driver.page();

    QLineEdit& to = page.recipients_edit();
    QVERIFY(driver.type(to, {}));
    to.setText(before);
    to.setSelection(start, end - start);
    paste(driver.window(), pasted);
    // The click lands where the note lies over the From field.
    QVERIFY(driver.retype(page.sender_edit(), QStringLiteral("anna@x.example")));

    auto& message = *test_support::control<QPlainTextEdit>(page, 140);
    QVERIFY(driver.type(message, QStringLiteral("see you.")));
    message.selectAll();
    const QString long_message = QString(991, QLatin1Char('m')) + " see you.";
    paste(driver.window(), long_message);

    const std::filesystem::path folder = road.data_.path() / "photos";
    std::filesystem::create_directories(folder);
    driver.add_photos({whole_test::make_photo(folder, "one.png", 40, 30)},
                      whole_test::make_photo(folder, "two.png", 30, 40));
    const QString failure = driver.send_until_success();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const auto packages = road.service_.packages();
    QCOMPARE(packages.size(), std::size_t{1});
    const auto& entry = packages.front().read;
    QCOMPARE(entry.recipients, recipients);
    QCOMPARE(entry.from, std::string("anna@x.example"));
    QCOMPARE(entry.message, long_message.left(300).toStdString());
    std::vector<std::string> saved = recipients;
    std::sort(saved.begin(), saved.end());
    QCOMPARE(parvel::user::instance()->contacts, saved);
  }
};

LUMBREL_WIDGET_TEST(whole_pasted_recipients_test);
#include "whole_pasted_recipients_test.moc"
