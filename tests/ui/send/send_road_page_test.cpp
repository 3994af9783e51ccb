#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <mutex>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/send/shown_send_page.hpp"
#include "tools/service/tunnel_proxy.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/send/send_page.hpp"

namespace {

using service::step;
constexpr int send_limit_ms = 120000;

// A send to the stand-in service over HTTPS, of the user's own photo set (the
// one Retry reads), with photos that need no imaging.
class road : public test_support::send_road {
 public:
  road() {
    const auto user_set = parvel::user::instance()->get_package();
    user_set->sender = package_->sender;
    user_set->recipients = package_->recipients;
    user_set->subject = package_->subject;
    user_set->message = package_->message;
    user_set->make_archive_name();
    package_ = user_set;
    add_file("a.psd", test_support::random_data(3 << 20, 1));
    add_file("b.NEF", test_support::random_data(1000, 2));
  }
  void TestBody() override {}

  using send_road::received;
  using send_road::recorder_;
  using send_road::service_;
  std::shared_ptr<parvel::package_info> package() const { return package_; }
};

// What the page showed after each job report it handled: its state, the
// bar's value and the time remaining while uploading. Its slots are connected after the page's and
// post after them, so each runs once the page has handled the same report.
class page_watch : public QObject, public core::windows_async_window_update {
 public:
  explicit page_watch(parvel::send_page& page) : page_(page) {
    auto& hub = test_support::the_controller();
    const auto watch = [this] {
      return [this, poster = make_poster()](auto&&...) { poster([this] { look(); }); };
    };
    connections_.emplace_back(hub.on_photo_upload_preparing.connect(watch()));
    connections_.emplace_back(hub.on_photo_upload_progress.connect(watch()));
    connections_.emplace_back(hub.on_photo_archive_progress.connect(watch()));
    connections_.emplace_back(hub.on_photo_upload_succeeded.connect(watch()));
  }
  std::vector<int> states;
  float highest_before_success = 0;
  std::vector<QString> times;
  // Those shown once the whole archive had left.
  std::vector<QString> times_once_sent;

 private:
  void look() {
    if (states.empty() || states.back() != page_.state()) {
      states.push_back(page_.state());
    }
    if (page_.state() == parvel::send_uploading) {
      const QString time = test_support::control<QLabel>(page_, 130)->text();
      times.push_back(time);
      if (page_.bar().value() >= *parvel::upload_progress(1, 1)) {
        times_once_sent.push_back(time);
      }
    }
    if (page_.state() != parvel::send_succeeded) {
      highest_before_success = std::max(highest_before_success, page_.bar().value());
    }
  }
  parvel::send_page& page_;
  std::vector<boost::signals2::scoped_connection> connections_;
};

struct shown_page {
  std::shared_ptr<parvel::send_page> page = parvel::send_page::make();
  shown_page() { test_support::show_send_page(*page); }
  QPushButton* button(int id) const { return test_support::send_page_button(*page, id); }
  bool shows(int id) const { return button(id)->isVisibleTo(page.get()); }
};

QString error_text(int code) {
  return QString::fromUtf8(parvel::parvel_error(code).what());
}

}  // namespace

class send_road_page_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { test_support::trusted_certificates(); }

  void a_send_opened_on_the_canvas_runs_to_success_and_closes() {
    road r;
    parvel::canvas_view canvas;
    canvas.resize(1000, 700);
    canvas.show();
    test_support::the_controller().notify_send_window_opened();
    auto* page = dynamic_cast<parvel::send_page*>(canvas.page(parvel::canvas_view::layer::send));
    QVERIFY(page);
    QCOMPARE(page->geometry(), canvas.rect());
    page_watch watch(*page);
    QTRY_COMPARE_WITH_TIMEOUT(page->state(), int(parvel::send_succeeded), send_limit_ms);
    QTRY_VERIFY(!watch.states.empty() && watch.states.back() == parvel::send_succeeded);
    QCOMPARE(watch.states.front(), int(parvel::send_started));
    QVERIFY(std::find(watch.states.begin(), watch.states.end(), int(parvel::send_uploading)) !=
            watch.states.end());
    QVERIFY(watch.highest_before_success >= 0.5f);
    QVERIFY(watch.highest_before_success < 1.0f);
    QCOMPARE(page->bar().value(), 1.0f);
    // The amount is the archive's: the package's small body after it does not count.
    const QString archive_kb = QString::number(r.service_.media().at(0).archive_size / 1024);
    QCOMPARE(test_support::control<QLabel>(*page, 128)->text(),
             archive_kb + " / " + archive_kb + " Kb");
    auto* close = test_support::control<QPushButton>(*page, 8);
    QVERIFY(close->isVisibleTo(page));
    QVERIFY(!test_support::control<QPushButton>(*page, 2)->isVisibleTo(page));
    QVERIFY(!test_support::control<QPushButton>(*page, 4)->isVisibleTo(page));
    QCOMPARE(r.service_.packages().size(), std::size_t{1});

    // Close asks the canvas, which releases the page from a posted call.
    QPointer<QWidget> alive(page);
    bool alive_after_signal = false;
    connect(close, &QPushButton::clicked, &canvas, [&] { alive_after_signal = !alive.isNull(); });
    test_support::click(*close);
    QVERIFY(alive_after_signal);
    QTRY_VERIFY(!alive);
    QVERIFY(!canvas.page(parvel::canvas_view::layer::send));
  }

  void a_refused_package_shows_forbidden_with_retry() {
    road r;
    r.service_.set_fault(step::package, {.status = 403});
    shown_page s;
    test_support::the_controller().start_photo_archive(r.package());
    QTRY_COMPARE_WITH_TIMEOUT(s.page->state(), int(parvel::send_failed), send_limit_ms);
    QCOMPARE(s.page->status_text(), error_text(parvel::parvel_code::network_error_forbidden));
    QVERIFY(s.shows(4) && s.shows(8) && !s.shows(2));
    QVERIFY(s.page->bar().value() < 1.0f);
  }

  void cancel_at_the_first_upload_progress_sends_no_package() {
    road r;
    shown_page s;
    // Pressed from the job's first report: on loopback the upload could
    // otherwise end before a press from here.
    QPushButton* cancel = s.button(2);
    r.recorder_.on_first("upload_progress", [cancel] {
      QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::BlockingQueuedConnection);
    });
    test_support::the_controller().start_photo_archive(r.package());
    QTRY_COMPARE_WITH_TIMEOUT(s.page->state(), int(parvel::send_canceled), send_limit_ms);
    QCOMPARE(s.page->status_text(), QStringLiteral("Parvel cancelled."));
    QVERIFY(s.shows(4) && s.shows(8));
    QCOMPARE(r.received(step::package), std::size_t{0});
    QVERIFY(r.service_.packages().empty());
  }

  // A proxy takes a mebibyte ahead of its uplink, then the archive at the
  // uplink's pace, and forwards what it holds for seconds once all has left.
  // The time remaining comes from that pace: it never reads as the bound of
  // the proxy's wait (minutes for this archive), and runs down once all has
  // left. Each text the page shows is checked, whichever reports a busy
  // machine lets it handle.
  void time_remaining_counts_what_a_proxy_holds_at_its_pace() {
    road r;
    const service::tunnel_proxy proxy({.rate = 256 << 10, .held = 1 << 20});
    const test_support::scoped_env https_proxy("https_proxy", proxy.url());
    const test_support::scoped_env no_proxy("no_proxy", "");
    shown_page s;
    page_watch watch(*s.page);
    test_support::the_controller().start_photo_archive(r.package());
    QTRY_COMPARE_WITH_TIMEOUT(s.page->state(), int(parvel::send_succeeded), send_limit_ms);
    QTRY_VERIFY(!watch.states.empty() && watch.states.back() == parvel::send_succeeded);
    QVERIFY(!watch.times_once_sent.empty());
    for (const QString& time : watch.times) {
      QVERIFY2(time.isEmpty() || (time.startsWith("Time Remaining: ") &&
                                  time < QStringLiteral("Time Remaining: 00:01:00")),
               qPrintable(time));
    }
    QVERIFY(std::is_sorted(watch.times_once_sent.rbegin(), watch.times_once_sent.rend()));
  }

  void retry_of_an_archived_set_uploads_again_and_shows_the_new_failure() {
    road r;
    r.service_.set_fault(step::package, {.status = 403});
    shown_page s;
    test_support::the_controller().start_photo_archive(r.package());
    QTRY_COMPARE_WITH_TIMEOUT(s.page->state(), int(parvel::send_failed), send_limit_ms);
    QVERIFY(r.package()->archived);
    const auto archive_events = [&r] {
      const auto events = r.recorder_.events();
      return std::count_if(events.begin(), events.end(), [](const std::string& e) {
        return e == "succeeded" || e.starts_with("progress:");
      });
    };
    const auto archived_before = archive_events();
    const std::size_t uploads_before = r.received(step::archive);

    r.service_.set_fault(step::package, {.status = 500});
    test_support::click(*s.button(4));
    // A second press cannot start a second pair of jobs.
    QVERIFY(!s.shows(4));
    QTRY_COMPARE_WITH_TIMEOUT(s.page->status_text(),
                              error_text(parvel::parvel_code::network_error_generic),
                              send_limit_ms);
    QCOMPARE(s.page->state(), int(parvel::send_failed));
    QVERIFY(s.shows(4));
    QCOMPARE(archive_events(), archived_before);
    QCOMPARE(r.received(step::archive), uploads_before + 1);
  }
};

LUMBREL_WIDGET_TEST(send_road_page_test);
#include "send_road_page_test.moc"
