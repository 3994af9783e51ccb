#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "core/windows/async_window_update.hpp"
#include "tests/support/widget_test.hpp"

namespace {

class receiver : public QWidget, public core::windows_async_window_update {
 public:
  std::vector<int> seen;
  std::vector<std::thread::id> threads;

  // As a window connects a job signal.
  std::function<void(int)> slot = relay(&receiver::on_event);

  void on_event(int value) {
    seen.push_back(value);
    threads.push_back(std::this_thread::get_id());
  }
};

}  // namespace

class async_window_update_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void calls_from_a_worker_run_on_the_window_thread_in_order() {
    receiver window;
    QCOMPARE(window.thread_id(), std::this_thread::get_id());
    std::thread worker([&] {
      for (int i = 1; i <= 3; ++i)
        window.slot(i);
    });
    worker.join();
    QVERIFY(window.seen.empty());
    QTRY_COMPARE(window.seen, (std::vector<int>{1, 2, 3}));
    for (const auto id : window.threads)
      QCOMPARE(id, std::this_thread::get_id());
    // On the window's thread the slot does its work at once.
    window.slot(4);
    QCOMPARE(window.seen, (std::vector<int>{1, 2, 3, 4}));
  }

  void calls_posted_to_a_destroyed_window_are_freed_and_never_run() {
    auto doomed = std::make_unique<receiver>();
    receiver witness;
    const auto captured = std::make_shared<int>(0);
    bool ran = false;
    const auto poster = doomed->make_poster();
    doomed->post([captured, &ran] { ran = true; });
    witness.post([&witness] { witness.on_event(7); });
    QCOMPARE(captured.use_count(), 2);
    doomed.reset();
    QCOMPARE(captured.use_count(), 1);
    QVERIFY(!poster([captured, &ran] { ran = true; }));
    QCOMPARE(captured.use_count(), 1);
    QTRY_COMPARE(witness.seen, std::vector<int>{7});
    QVERIFY(!ran);
  }

  void progress_posts_replace_the_last_queued_one() {
    receiver window;
    for (int value : {10, 20, 30}) {
      window.post_replacing(1, [&window, value] { window.on_event(value); });
    }
    window.post([&window] { window.on_event(-1); });
    QTRY_COMPARE(window.seen, (std::vector<int>{30, -1}));
  }
};

LUMBREL_WIDGET_TEST(async_window_update_test);

#include "async_window_update_test.moc"
