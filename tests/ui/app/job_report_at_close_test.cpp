#include <QTest>
#include <functional>
#include <memory>
#include <thread>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "tests/support/slot_entry_hold.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/controls/add_control_dispose.hpp"
#include "ui/send/send_page.hpp"
#include "ui/update/update_page.hpp"

Q_DECLARE_METATYPE(std::function<void()>)

namespace parvel {

namespace {

controller& hub() {
  return *application::instance()->controller();
}

// A window is open and a job raises signal with args on its own thread; the
// job is held at the window's slot while the window closes (the frame's end
// at quit, a page released), then enters it. Nothing of the window may be
// touched any more: AddressSanitizer stops the test where it is.
template <class Window, class Signal, class... Args>
std::function<void()> report_at_close(Signal& signal, Args... args) {
  return [&signal, args...] {
    auto window = add_control_dispose<Window>::make();
    test_support::slot_entry_hold hold(signal);
    std::thread job([&signal, args...] { signal(args...); });
    const bool held = hold.wait_held();
    window.reset();
    hold.release();
    job.join();
    QVERIFY(held);
  };
}

}  // namespace

class job_report_at_close_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void job_event_reaching_a_closing_window_is_dropped_data() {
    QTest::addColumn<std::function<void()>>("scenario");
    QTest::newRow("the update check finding a newer version, at the canvas")
        << report_at_close<canvas_view>(hub().on_update_check_succeeded, true,
                                        core::update::update_enclosure{.status = "critical"});
    QTest::newRow("a failed update check, at the canvas")
        << report_at_close<canvas_view>(hub().signal_update_check_failed);
    QTest::newRow("a finished upload, at the add-photos page")
        << report_at_close<addphotos_page>(hub().on_photo_upload_succeeded);
    QTest::newRow("the controller's exit, at the frame")
        << report_at_close<main_frame>(hub().signal_app_exit);
    QTest::newRow("taskbar progress, at the frame")
        << report_at_close<main_frame>(hub().on_taskbar_progress, 0.5f);
    QTest::newRow("upload progress, at the send page")
        << report_at_close<send_page>(hub().on_photo_upload_progress, 1u, 2u, 0u);
    QTest::newRow("a finished download, at the update page") << report_at_close<update_page>(
        hub().on_update_download_succeeded, std::string("/nowhere/setup.run"));
  }

  void job_event_reaching_a_closing_window_is_dropped() {
    QFETCH(std::function<void()>, scenario);
    scenario();
  }
};

LUMBREL_WIDGET_TEST(job_report_at_close_test);

}  // namespace parvel

#include "job_report_at_close_test.moc"
