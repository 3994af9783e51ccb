#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <boost/signals2/connection.hpp>
#include <thread>
#include <vector>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/errors/parvel_error.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "tests/ui/send/shown_send_page.hpp"
#include "ui/send/send_page.hpp"

namespace {

parvel::controller& hub() {
  return *parvel::application::instance()->controller();
}

QString text_of(const char* key) {
  return QString::fromStdU16String(parvel::application::instance()->get_localized_wstring(key));
}

// A page at a realistic size, its clock in the test's hand.
struct shown_page {
  std::uint32_t tick = 1000;
  std::shared_ptr<parvel::send_page> page = parvel::send_page::make([this] { return tick; });

  shown_page() { test_support::show_send_page(*page); }
  QPushButton* button(int id) const { return test_support::send_page_button(*page, id); }
  QLabel* label(int id) const { return test_support::control<QLabel>(*page, id); }
  QString shown_buttons() const {
    QString shown;
    for (int id : {2, 4, 8}) {
      shown += button(id)->isVisibleTo(page.get()) ? QString::number(id) : QStringLiteral("-");
    }
    return shown;
  }
};

// Counts what the page raises for the taskbar.
struct taskbar_record {
  std::vector<float> progress;
  int succeeded = 0;
  int failed = 0;
  int set = 0;
  int reset = 0;
  int closed = 0;
  std::vector<boost::signals2::scoped_connection> connections;

  taskbar_record() {
    connections.emplace_back(
        hub().on_taskbar_progress.connect([this](float p) { progress.push_back(p); }));
    connections.emplace_back(hub().on_taskbar_action_succeeded.connect([this] { ++succeeded; }));
    connections.emplace_back(hub().on_action_failed.connect([this] { ++failed; }));
    connections.emplace_back(hub().on_action_set.connect([this] { ++set; }));
    connections.emplace_back(hub().on_action_reset.connect([this] { ++reset; }));
    connections.emplace_back(hub().signal_send_window_closed.connect([this](bool) { ++closed; }));
  }
};

}  // namespace

class send_page_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void states_show_their_buttons_and_texts() {
    shown_page s;
    QCOMPARE(s.page->header_text(), QStringLiteral("Sending"));
    QCOMPARE(s.page->status_text(), QStringLiteral("Please wait..."));
    QCOMPARE(s.shown_buttons(), QStringLiteral("2--"));
    QVERIFY(!s.label(128)->isVisibleTo(s.page.get()));

    hub().on_photo_upload_preparing();
    QCOMPARE(s.page->state(), int(parvel::send_uploading));
    QCOMPARE(s.shown_buttons(), QStringLiteral("2--"));
    QVERIFY(s.label(128)->isVisibleTo(s.page.get()));
    QVERIFY(s.label(130)->isVisibleTo(s.page.get()));

    hub().on_photo_upload_failed(
        parvel::parvel_error(parvel::parvel_code::network_error_forbidden));
    QCOMPARE(s.page->status_text(),
             QString::fromUtf8(
                 parvel::parvel_error(parvel::parvel_code::network_error_forbidden).what()));
    QCOMPARE(s.shown_buttons(), QStringLiteral("-48"));
    QVERIFY(!s.label(128)->isVisibleTo(s.page.get()));
    // Retry stands left of Close.
    QVERIFY(s.button(4)->geometry().right() < s.button(8)->geometry().left());

    hub().on_photo_upload_canceled();
    QCOMPARE(s.page->status_text(), QStringLiteral("Parvel cancelled."));
    QCOMPARE(s.shown_buttons(), QStringLiteral("-48"));

    hub().on_photo_upload_succeeded();
    QCOMPARE(
        s.page->status_text(),
        QStringLiteral(
            "Success! Your photos have been sent and your recipients are now being notified."));
    QCOMPARE(s.shown_buttons(), QStringLiteral("--8"));
    QCOMPARE(s.page->bar().value(), 1.0f);
  }

  void a_repeated_failure_shows_its_own_text() {
    using namespace parvel::parvel_code;
    shown_page s;
    hub().on_photo_upload_failed(parvel::parvel_error(network_error_forbidden));
    // A stage report after Retry changes only the status.
    hub().on_send_progress_message(send_uploading);
    QCOMPARE(s.page->state(), int(parvel::send_failed));
    QCOMPARE(s.page->status_text(), text_of("send_uploading"));
    hub().on_photo_upload_failed(parvel::parvel_error(network_error_connection_timeout));
    QCOMPARE(s.page->state(), int(parvel::send_failed));
    QCOMPARE(s.page->status_text(),
             QString::fromUtf8(parvel::parvel_error(network_error_connection_timeout).what()));
    hub().on_send_progress_message(static_cast<parvel::parvel_code::parvel_code>(99));
    QCOMPARE(s.page->status_text(), text_of("ok"));
  }

  void progress_moves_the_bar_amount_and_time() {
    shown_page s;
    taskbar_record taskbar;
    hub().on_photo_archive_progress(50, 0);
    QCOMPARE(s.page->bar().value(), 0.0f);
    hub().on_photo_archive_progress(50, 100);
    QCOMPARE(s.page->bar().value(), 0.25f);
    hub().on_photo_upload_preparing();

    const unsigned total = 2048 * 1024;
    hub().on_photo_upload_progress(512 * 1024, 0, 0u);
    QCOMPARE(s.label(128)->text(), QString());
    // The first report starts the clock: no time yet.
    hub().on_photo_upload_progress(512 * 1024, total, 0u);
    QCOMPARE(s.label(128)->text(), QStringLiteral("512 / 2048 Kb"));
    QCOMPARE(s.label(130)->text(), QString());
    // 247 s for half the total: as long again remains.
    s.tick += 247000;
    hub().on_photo_upload_progress(1024 * 1024, total, 0u);
    QCOMPARE(s.label(130)->text(), QStringLiteral("Time Remaining: 00:04:07"));
    QCOMPARE(s.page->bar().value(), 0.745f);
    // The last report leaves the time as it was.
    s.tick += 1000;
    hub().on_photo_upload_progress(total, total, 0u);
    QCOMPARE(s.label(128)->text(), QStringLiteral("2048 / 2048 Kb"));
    QCOMPARE(s.label(130)->text(), QStringLiteral("Time Remaining: 00:04:07"));
    QVERIFY(s.page->bar().value() < 1.0f);

    const std::vector<float> expected{0.25f, 0.5f + 0.49f / 4, 0.745f, 0.99f};
    QCOMPARE(taskbar.progress, expected);
  }

  void progress_from_a_worker_coalesces() {
    shown_page s;
    taskbar_record taskbar;
    s.page->set_state(parvel::send_uploading);
    // The page's thread runs nothing while the worker reports.
    std::thread worker([] {
      for (unsigned sent = 1; sent <= 10000; ++sent) {
        hub().on_photo_upload_progress(sent * 1024, 10000 * 1024, 0u);
      }
      hub().on_photo_upload_succeeded();
    });
    worker.join();
    QTRY_COMPARE(s.page->state(), int(parvel::send_succeeded));
    QCOMPARE(s.label(128)->text(), QStringLiteral("10000 / 10000 Kb"));
    // One progress call, then the success's 1.0.
    QCOMPARE(taskbar.progress.size(), std::size_t{2});
    QCOMPARE(taskbar.succeeded, 1);
  }

  void buttons_ask_the_controller() {
    shown_page s;
    taskbar_record taskbar;
    // Without jobs, Cancel changes nothing until a job would report.
    test_support::click(*s.button(2));
    QCOMPARE(s.page->state(), int(parvel::send_started));

    hub().on_photo_archive_failed(
        parvel::parvel_error(parvel::parvel_code::zip_error_access_denied));
    QCOMPARE(taskbar.failed, 1);
    hub().on_photo_archive_canceled();
    QCOMPARE(taskbar.succeeded, 1);

    test_support::click(*s.button(8));
    QVERIFY(!s.page->isVisible());
    QCOMPARE(taskbar.reset, 1);
    QCOMPARE(taskbar.closed, 1);
  }

  void narrow_page_lays_out_without_negative_sizes() {
    shown_page s;
    hub().on_photo_upload_failed(parvel::parvel_error(parvel::parvel_code::fatal));
    for (const QSize size : {QSize(30, 20), QSize(1, 1), QSize(120, 700)}) {
      s.page->resize(size);
      const QImage picture = s.page->grab().toImage();
      QCOMPARE(picture.size(), size * s.page->devicePixelRatioF());
      for (QWidget* child : s.page->findChildren<QWidget*>()) {
        QVERIFY(child->width() >= 0 && child->height() >= 0);
      }
    }
  }

  void looks_right_inside_a_frame() {
    shown_page s;
    hub().on_photo_upload_preparing();
    hub().on_send_progress_message(parvel::parvel_code::send_uploading);
    s.tick = 2000;
    hub().on_photo_upload_progress(300 * 1024, 2048 * 1024, 0u);
    s.tick = 62000;
    hub().on_photo_upload_progress(600 * 1024, 2048 * 1024, 0u);
    const QImage picture = s.page->grab().toImage();
    if (const char* folder = std::getenv("LUMBREL_SCREENS")) {
      picture.save(QString::fromUtf8(folder) + QStringLiteral("/send_page_uploading.png"));
    }
    // The page's grey background, the bar's orange left of the middle.
    QCOMPARE(picture.pixelColor(5, 5), QColor(0xED, 0xED, 0xED));
    const QRect bar = s.page->bar().geometry();
    const QColor fill =
        picture.pixelColor(bar.left() + bar.width() / 4, bar.top() + bar.height() / 4);
    QVERIFY2(fill.red() > fill.blue() + 40, qPrintable(fill.name()));
    // The header's black glyphs near the top left.
    bool dark = false;
    for (int x = 0; x < 300 && !dark; ++x) {
      for (int y = 0; y < 80 && !dark; ++y) {
        dark = qGray(picture.pixel(x, y)) < 60;
      }
    }
    QVERIFY(dark);
    hub().on_send_progress_message(parvel::parvel_code::send_zipping);
    hub().on_photo_upload_failed(
        parvel::parvel_error(parvel::parvel_code::network_error_forbidden));
    if (const char* folder = std::getenv("LUMBREL_SCREENS")) {
      s.page->grab().save(QString::fromUtf8(folder) + QStringLiteral("/send_page_failed.png"));
    }
  }
};

LUMBREL_WIDGET_TEST(send_page_test);
#include "send_page_test.moc"
