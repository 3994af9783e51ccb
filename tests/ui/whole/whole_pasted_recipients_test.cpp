#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
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

// Ctrl+V with the text on the clipboard, into the focused field.
void paste(QWindow* window, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
}

QStringList texts(const std::vector<std::string>& list) {
  QStringList result;
  for (const std::string& text : list)
    result << QString::fromStdString(text);
  return result;
}

}  // namespace

// Lists pasted into the To field and a long text over the message, sent: the
// service receives what the fields showed, and the saved contacts are those.
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
    QTest::addColumn<QString>("received");  // joined by ","
    QTest::newRow("a list over the whole field")
        << "bob@example.com" << 0 << 15
        << numbered_list("person%1@example.com", 500, ", ").chopped(2)
        << numbered_list("person%1@example.com", 8, ",").chopped(1);
    QTest::newRow("a list between two addresses")
        << "first@example.com, last@example.com" << 19 << 19
        << numbered_list("p%1@example.com", 500, ",")
        << "first@example.com," + numbered_list("p%1@example.com", 9, ",") + "last@example.com";
    QTest::newRow("a list in lines")
        << QString() << 0 << 0 << numbered_list("row%1@example.com", 5, "\n")
        << numbered_list("row%1@example.com", 5, ",").chopped(1);
  }

  void the_service_receives_what_the_fields_show() {
    QFETCH(QString, before);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, pasted);
    whole_test::service_road road;
    auto frame = std::make_unique<parvel::main_frame>();
    whole_test::frame_driver driver(*frame);
    QVERIFY(driver.show());
    parvel::addphotos_page& page = driver.page();
    QVERIFY(driver.type(page.recipients_edit(), {}));
    page.recipients_edit().setText(before);
    page.recipients_edit().setSelection(start, end - start);
    paste(driver.window(), pasted);
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
    QStringList received = texts(packages.front().read.recipients);
    QTEST(received.join(','), "received");
    QCOMPARE(packages.front().read.message, long_message.left(300).toStdString());
    received.sort();
    QCOMPARE(texts(parvel::user::instance()->contacts), received);
  }
};

LUMBREL_WIDGET_TEST(whole_pasted_recipients_test);
#include "whole_pasted_recipients_test.moc"
