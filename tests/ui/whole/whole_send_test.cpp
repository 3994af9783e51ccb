#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_contact_list.hpp"
#include "ui/addphotos/addphotos_contact_popup.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/addphotos/addphotos_panel_alt_link.hpp"
#include "ui/addphotos/photo_dialogs.hpp"
#include "ui/addphotos/recipients_completion.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/controls/cue_edit.hpp"
#include "ui/rename/addphotos_rename_popup.hpp"
#include "ui/send/send_page.hpp"

namespace {

constexpr int send_limit_ms = 120000;

// The stand-in service over HTTPS with the tests' CA, named in the settings.
class service_road : public test_support::send_road {
 public:
  void TestBody() override {}
  using send_road::data_;
  using send_road::service_;
};

struct fixed_dialogs final : parvel::photo_dialogs {
  QStringList files;
  QStringList open_files(QWidget*, const QStringList&, int) override { return files; }
  QStringList open_folders(QWidget*, const QString&) override { return {}; }
};

}  // namespace

// The program through its windows: a frame as the program starts it, a form
// typed into it, photos from the dialog and a drop, a renaming scheme, Send,
// and what the service received.
class whole_send_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<parvel::main_frame> frame_;

  QWindow* window() const { return frame_->windowHandle(); }
  parvel::addphotos_page& page() const {
    return *static_cast<parvel::addphotos_page*>(
        frame_->canvas().page(parvel::canvas_view::layer::addphotos));
  }
  void click(const QWidget& widget) {
    QTest::mouseClick(window(), Qt::LeftButton, {},
                      widget.mapTo(frame_.get(), widget.rect().center()));
  }
  void type(QWidget& field, const QString& text) {
    // A contact chosen in its popup window leaves the frame inactive.
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    click(field);
    QTRY_VERIFY(field.hasFocus());
    QTest::keyClicks(&field, text);
  }
  static std::string photo(const std::filesystem::path& folder, const std::string& name, int w,
                           int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    const std::string path = (folder / name).string();
    image.save(QString::fromStdString(path), "PNG");
    return path;
  }

 private Q_SLOTS:
  void initTestCase() { test_support::trusted_certificates(); }

  void a_typed_send_reaches_the_service_renamed() {
    service_road road;
    parvel::user::instance()->contacts = {"bob@y.example"};
    frame_ = std::make_unique<parvel::main_frame>();
    frame_->resize(1000, 700);
    frame_->show();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));

    type(page().recipients_edit(), QStringLiteral("carl@z.example; bo"));
    parvel::recipients_completion* completion = nullptr;
    for (QObject* child : page().recipients_edit().children()) {
      if (auto* found = dynamic_cast<parvel::recipients_completion*>(child))
        completion = found;
    }
    QVERIFY(completion && completion->popup());
    QTRY_VERIFY(completion->popup()->isVisible());
    parvel::addphotos_contact_popup* contacts = completion->popup();
    auto& list = contacts->list();
    QTest::mouseClick(contacts->windowHandle(), Qt::LeftButton, {},
                      list.viewport()->mapTo(contacts, QPoint(10, list.row_rect(0)->center().y())));
    QCOMPARE(page().recipients_edit().text(), QStringLiteral("carl@z.example; bob@y.example; "));
    type(page().sender_edit(), QStringLiteral("anna@x.example"));
    type(*page().findChild<QLineEdit*>(QStringLiteral("id_138")), QStringLiteral("Sea"));
    type(*page().findChild<QPlainTextEdit*>(QStringLiteral("id_140")), QStringLiteral("Hi"));

    const std::filesystem::path folder = road.data_.path() / "photos";
    std::filesystem::create_directories(folder);
    auto dialogs = std::make_unique<fixed_dialogs>();
    dialogs->files = {QString::fromStdString(photo(folder, "one.png", 300, 200)),
                      QString::fromStdString(photo(folder, "two.png", 200, 300))};
    page().set_dialogs(std::move(dialogs));
    page().on_add_files();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(photo(folder, "three.png", 50, 50)))});
    QDragEnterEvent enter(QPoint(500, 500), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&page(), &enter);
    QDropEvent dropped(QPointF(500, 500), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&page(), &dropped);
    QCOMPARE(parvel::user::instance()->get_package()->photo_count(), std::size_t{3});

    auto* action = static_cast<parvel::addphotos_panel_alt*>(
        page().panel_widget(parvel::addphotos_page::panel::action));
    click(action->rename_link());
    QVERIFY(page().rename_popup());
    auto* prefix =
        page().rename_popup()->findChildren<QLineEdit*>(QStringLiteral("id_113")).value(0);
    type(*prefix, QStringLiteral("trip_"));

    // The first press outside only closes the popup.
    click(page().send_button());
    QTRY_VERIFY(!page().rename_popup());
    click(page().send_button());
    auto* sending =
        dynamic_cast<parvel::send_page*>(frame_->canvas().page(parvel::canvas_view::layer::send));
    QVERIFY(sending);
    QTRY_COMPARE_WITH_TIMEOUT(sending->state(), int(parvel::send_succeeded), send_limit_ms);

    const auto packages = road.service_.packages();
    QCOMPARE(packages.size(), std::size_t{1});
    const auto& entry = packages.front().read;
    QCOMPARE(entry.from, std::string("anna@x.example"));
    QCOMPARE(entry.subject, std::string("Sea"));
    QCOMPARE(entry.message, std::string("Hi"));
    QCOMPARE(entry.recipients, (std::vector<std::string>{"carl@z.example", "bob@y.example"}));
    const std::string archive =
        (road.data_.path() / packages.front().media_id / "archive.zip").string();
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-t"), QString::fromStdString(archive)});
    QVERIFY(unzip.waitForFinished());
    QCOMPARE(unzip.exitCode(), 0);
    QProcess names;
    names.start(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral(
             "import sys,zipfile;print(' '.join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))"),
         QString::fromStdString(archive)});
    QVERIFY(names.waitForFinished());
    QCOMPARE(names.readAllStandardOutput().trimmed(),
             QByteArray("trip_one.png trip_three.png trip_two.png"));
    frame_.reset();
  }
};

LUMBREL_WIDGET_TEST(whole_send_test);
#include "whole_send_test.moc"
