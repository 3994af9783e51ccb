#include "ui/update/update_page.hpp"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <boost/signals2/connection.hpp>
#include <filesystem>
#include <thread>

#include "core/shell_open.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/photos/temp_folder.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/service/test_tools.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tools/service/server.hpp"
#include "tools/service/web_service.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/send/progress_bar.hpp"

namespace parvel {

namespace {

using test_support::click;
using test_support::control;

controller& hub() {
  return *application::instance()->controller();
}

application_settings& settings() {
  return *application::instance()->settings();
}

const std::string xhtml_notes =
    "<div xmlns='http://www.w3.org/1999/xhtml'><p>What is new</p>"
    "<ul><li>Faster uploads</li><li>Fewer clicks</li></ul></div>";

// The stand-in service serving the feed and the installer over HTTPS with
// the tests' CA, and an opener standing in for the desktop's that notes
// what it was given, then runs opener_tail (shell lines).
class update_site {
 public:
  explicit update_site(const std::string& opener_tail = "") {
    core::parse_version_string("1.0.0.0", settings().version);
    settings().feed_url = site_.feed_url();
    opened_file_ = opener_folder_.file("opened");
    test_support::write_file(
        opener_folder_.file("opener"),
        "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + opened_file_ + "'\n" + opener_tail);
    std::filesystem::permissions(opener_folder_.file("opener"), std::filesystem::perms::owner_all);
    core::set_shell_open_program(opener_folder_.file("opener"));
  }
  ~update_site() {
    core::set_shell_open_program("xdg-open");
    settings().feed_url.clear();
  }

  // A file of the feed's folder and its address.
  std::string serve(const std::string& name, const std::string& bytes) {
    test_support::write_file(content_.file(name), bytes);
    return address(name);
  }
  std::string address(const std::string& name) const {
    const std::string feed = site_.feed_url();
    return feed.substr(0, feed.rfind('/') + 1) + name;
  }

  // The feed offers version 2.0.0.0 at href; entry_extra goes inside the entry.
  void offer(const std::string& href, const std::string& entry_extra = "") {
    test_support::write_file(
        content_.file("parvel.feed.xml"),
        "<feed xmlns='http://www.w3.org/2005/Atom' "
        "xmlns:u='http://www.lumbrel.example/schemas/appsyndication/2009'><entry>"
        "<u:version>2.0.0.0</u:version><link platform='X86' href='" +
            href + "'/>" + entry_extra + "</entry></feed>");
  }

  // What the opener was given, one line a run.
  QString opened() const {
    return std::filesystem::exists(opened_file_)
               ? QString::fromStdString(test_support::read_file(opened_file_))
               : QString();
  }

 private:
  const test_support::test_certificates& certificates_ = test_support::trusted_certificates();
  test_support::temp_folder content_;
  test_support::temp_folder opener_folder_;
  std::string opened_file_;
  service::web_service site_{{.http = {certificates_.certificate_file(), certificates_.key_file()},
                              .data_folder = content_.path() / "data",
                              .feed_folder = content_.path()}};
};

// The ids of the page's children that show, in the order of the page's table.
QStringList shown(update_page& page) {
  QStringList ids;
  for (const int id : {127, 2, 4, 8, 128, 129}) {
    if (control(page, id)->isVisible())
      ids << QStringLiteral("id_%1").arg(id);
  }
  return ids;
}

// Dark pixels under the page's texts: only the release notes are drawn in
// black there (the body is grey, the arrow translucent).
int dark_pixels_in_notes(update_page& page) {
  const QImage picture = page.grab().toImage();
  int dark = 0;
  for (int y = 50; y < page.height() / 2 + 100; ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(picture.pixel(x, y)) < 40)
        ++dark;
    }
  }
  return dark;
}

// Whether some pixel row of the label is blue across its whole text: only
// an underline is, since the blank between "Click" and "here" has no ink.
bool drawn_underlined(QLabel& label) {
  const QImage picture = label.grab().toImage();
  const int text_width = QFontMetrics(label.font()).horizontalAdvance(label.text());
  for (int y = 0; y < picture.height(); ++y) {
    int x = 1;
    while (x < text_width - 1 &&
           picture.pixelColor(x, y).blue() - picture.pixelColor(x, y).red() > 100)
      ++x;
    if (x == text_width - 1)
      return true;
  }
  return false;
}

}  // namespace

class update_page_test : public QObject {
  Q_OBJECT

  std::unique_ptr<canvas_view> canvas_;

  update_page* offered_page() {
    if (!QTest::qWaitFor([&] { return canvas_->page(canvas_view::layer::update) != nullptr; },
                         20000))
      return nullptr;
    return qobject_cast<update_page*>(canvas_->page(canvas_view::layer::update));
  }

 private Q_SLOTS:
  void init() {
    std::filesystem::remove_all(get_temp_folder());
    canvas_ = std::make_unique<canvas_view>();
    canvas_->resize(1000, 700);
    canvas_->show();
    QVERIFY(QTest::qWaitForWindowExposed(canvas_.get()));
  }

  void cleanup() { canvas_.reset(); }

  void offered_update_downloads_installs_and_ends_the_program() {
    update_site site;
    const std::string installer = test_support::pattern(100000);
    site.offer(site.serve("setup.run", installer),
               "<content type='xhtml'>" + xhtml_notes + "</content>");
    bool exited = false;
    std::vector<float> taskbar;
    const boost::signals2::scoped_connection exit =
        hub().signal_app_exit.connect([&] { exited = true; });
    const boost::signals2::scoped_connection progress =
        hub().on_taskbar_progress.connect([&](float f) { taskbar.push_back(f); });

    hub().start_update_check();
    update_page* page = offered_page();
    QVERIFY(page);
    QCOMPARE(page->state(), 1);
    QCOMPARE(page->geometry(), canvas_->rect());
    QCOMPARE(shown(*page), (QStringList{"id_127", "id_2"}));
    QCOMPARE(control<QPushButton>(*page, 127)->text(), QStringLiteral("Download && Install"));
    QVERIFY2(dark_pixels_in_notes(*page) > 50, "the release notes are drawn");

    click(*control(*page, 127));
    QCOMPARE(page->state(), 3);
    QCOMPARE(shown(*page), (QStringList{"id_2", "id_128"}));
    QTRY_VERIFY_WITH_TIMEOUT(exited, 20000);
    const std::string saved = get_installer_folder() + "/setup.run";
    QCOMPARE(site.opened(), QString::fromStdString(saved + "\n"));
    QVERIFY(test_support::read_file(saved) == installer);
    QCOMPARE(page->state(), 3);
    QCOMPARE(control<QLabel>(*page, 128)->text(), QStringLiteral("97 / 97 Kb"));
    QCOMPARE(page->findChild<progress_bar*>()->value(), 1.0f);
    QVERIFY(!taskbar.empty());
    QCOMPARE(taskbar.back(), 1.0f);
  }

  // The installer started means the program ends: a Cancel while the page
  // waits for the opener would leave both running.
  void cancel_is_not_offered_while_the_installer_opens() {
    // The installer takes a second to open; the page waits for it meanwhile.
    update_site site("sleep 1\n");
    site.offer(site.serve("setup.run", test_support::pattern(100000)));
    bool exited = false;
    const boost::signals2::scoped_connection exit =
        hub().signal_app_exit.connect([&] { exited = true; });
    hub().start_update_check();
    update_page* page = offered_page();
    QVERIFY(page);
    click(*control(*page, 127));
    QTRY_VERIFY_WITH_TIMEOUT(!site.opened().isEmpty(), 20000);

    QPushButton& cancel = *control<QPushButton>(*page, 2);
    QVERIFY(cancel.isVisible());
    QVERIFY(!cancel.isEnabled());
    click(cancel);
    QTRY_VERIFY_WITH_TIMEOUT(exited, 20000);
    QCOMPARE(page->state(), 3);
  }

  // The download's end is queued for the page when Cancel is clicked: Cancel wins.
  void a_download_ending_as_cancel_is_clicked_starts_no_installer() {
    canvas_->on_update_check_succeeded(true, {.title = "2.0", .href = "https://127.0.0.1:1/a.run"});
    update_page* page = offered_page();
    QVERIFY(page);
    click(*control(*page, 127));
    bool started = false;
    const boost::signals2::scoped_connection succeeded =
        hub().on_taskbar_action_succeeded.connect([&] { started = true; });
    std::thread([] {
      hub().on_update_download_succeeded(get_installer_folder() + "/a.run");
    }).join();
    click(*control(*page, 2));
    QTRY_VERIFY_WITH_TIMEOUT(!canvas_->page(canvas_view::layer::update), 5000);
    QVERIFY(!started);
  }

  void failed_download_offers_retry_and_the_web_site() {
    update_site site;
    site.offer(site.address("missing.run"));
    hub().start_update_check();
    update_page* page = offered_page();
    QVERIFY(page);
    click(*control(*page, 127));
    QTRY_COMPARE_WITH_TIMEOUT(page->state(), 4, 20000);
    QCOMPARE(shown(*page), (QStringList{"id_2", "id_4", "id_128", "id_129"}));
    QCOMPARE(control<QLabel>(*page, 129)->text(), QStringLiteral("Click here"));
    QVERIFY(drawn_underlined(*control<QLabel>(*page, 129)));
    const QLabel* after = nullptr;
    for (QLabel* label : page->findChildren<QLabel*>(QStringLiteral("id_0")))
      after = label;
    QVERIFY(after && after->isVisible());
    QCOMPARE(after->text(), QStringLiteral(" to go online and download the upgrade manually."));
    QCOMPARE(after->x(), control(*page, 129)->geometry().right() + 1);
    // Cancel stands left of Retry.
    QVERIFY(control(*page, 2)->geometry().right() < control(*page, 4)->x());

    click(*control(*page, 129));
    QTRY_COMPARE_WITH_TIMEOUT(site.opened(), QStringLiteral("https://www.lumbrel.example/\n"),
                              20000);

    click(*control(*page, 4));
    QCOMPARE(page->state(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(page->state(), 4, 20000);

    click(*control(*page, 2));
    QTRY_VERIFY_WITH_TIMEOUT(!canvas_->page(canvas_view::layer::update), 5000);
  }

  void cancel_while_downloading_stops_the_download_first() {
    const auto& certificates = test_support::trusted_certificates();
    service::server server({certificates.certificate_file(), certificates.key_file()});
    server.add_route("GET", "/files/setup.run",
                     {.body = std::string(1 << 20, 'x'),
                      .trickle_piece = 4096,
                      .trickle_pause = std::chrono::milliseconds(20)});
    std::atomic<bool> failed = false;
    const boost::signals2::scoped_connection ended =
        hub().on_update_download_failed.connect([&] { failed = true; });
    canvas_->on_update_check_succeeded(true, {.href = server.base_url() + "/files/setup.run"});
    update_page* page = offered_page();
    QVERIFY(page);
    click(*control(*page, 127));
    QTRY_VERIFY_WITH_TIMEOUT(!control<QLabel>(*page, 128)->text().isEmpty(), 20000);

    const QPointer<update_page> watched(page);
    click(*control(*page, 2));
    QVERIFY(!watched || !watched->isVisible());
    // A whole download would take 5 s.
    QTRY_VERIFY_WITH_TIMEOUT(failed, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!canvas_->page(canvas_view::layer::update), 5000);
    QVERIFY(std::filesystem::is_empty(get_installer_folder()));
  }

  void critical_update_opens_required() {
    update_site site;
    site.offer(site.address("setup.run"), "<u:status type='critical'/>");
    hub().start_update_check();
    update_page* page = offered_page();
    QVERIFY(page);
    QCOMPARE(page->state(), 2);
    QCOMPARE(shown(*page), QStringList{"id_127"});
  }

  void malformed_notes_are_logged_and_drawn_as_far_as_read() {
    const test_support::log_capture log;
    core::update::update_enclosure offer;
    offer.title = "2.0";
    offer.content_type = "xhtml";
    offer.content = "<div xmlns='http://www.w3.org/1999/xhtml'><p>Readable notes</p><p>cut";
    canvas_->on_update_check_succeeded(true, offer);
    update_page* page = offered_page();
    QVERIFY(page);
    QVERIFY(log.text().find("Cannot read the release notes: '") != std::string::npos);
    QVERIFY(dark_pixels_in_notes(*page) > 20);

    offer.content_type = "text";
    canvas_->on_update_check_succeeded(true, offer);
    page = offered_page();
    QCOMPARE(dark_pixels_in_notes(*page), 0);
  }

  void progress_reports_of_a_job_thread_coalesce() {
    canvas_->on_update_check_succeeded(true, {.title = "2.0"});
    update_page* page = offered_page();
    QVERIFY(page);
    int reports = 0;
    const boost::signals2::scoped_connection counted =
        hub().on_taskbar_progress.connect([&](float) { ++reports; });
    // The page's thread is busy until the job thread has reported them all.
    std::thread job([] {
      for (unsigned piece = 1; piece <= 1000; ++piece)
        hub().on_update_download_progress(piece * 16384, 1000 * 16384);
    });
    job.join();
    QTRY_COMPARE(control<QLabel>(*page, 128)->text(), QStringLiteral("16000 / 16000 Kb"));
    QCOMPARE(reports, 1);
  }

  void page_narrower_than_its_buttons_still_draws() {
    canvas_->on_update_check_succeeded(
        true, {.title = "2.0", .content = xhtml_notes, .content_type = "xhtml"});
    update_page* page = offered_page();
    QVERIFY(page);
    canvas_->resize(40, 30);
    QTRY_COMPARE(page->size(), QSize(40, 30));
    QVERIFY(!page->grab().isNull());
  }
};

LUMBREL_WIDGET_TEST(update_page_test);

}  // namespace parvel

#include "update_page_test.moc"
