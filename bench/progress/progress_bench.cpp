// The send page under a flood of upload progress: prints the event loop's
// worst latency, the bar's paints and the process's memory.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "bench/support/process_status.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "ui/send/send_page.hpp"

namespace {

constexpr unsigned events = 1000000;
constexpr int tick_ms = 5;

// Counts a widget's paints and the shortest time between two of them.
class paint_counter : public QObject {
 public:
  int paints = 0;
  qint64 shortest_gap_ns = -1;

  void reset() {
    paints = 0;
    shortest_gap_ns = -1;
    since_last_.invalidate();
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      if (since_last_.isValid()) {
        const qint64 gap = since_last_.nsecsElapsed();
        shortest_gap_ns = shortest_gap_ns < 0 ? gap : std::min(shortest_gap_ns, gap);
      }
      since_last_.start();
    }
    return false;
  }

 private:
  QElapsedTimer since_last_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  parvel::controller& hub = *parvel::application::instance()->controller();
  auto page = parvel::send_page::make();
  page->resize(1000, 700);
  page->show();
  page->set_state(parvel::send_started);
  hub.on_photo_upload_preparing();
  paint_counter counter;
  page->bar().installEventFilter(&counter);
  // Settle the first paints before measuring.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 300) {
    app.processEvents(QEventLoop::AllEvents, 50);
  }
  counter.reset();
  const long before = bench::process_status_kib("VmRSS:");

  // A timer that should fire every tick_ms: its worst lateness is the loop's.
  QElapsedTimer clock;
  qint64 last = -1;
  qint64 worst = 0;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    if (last >= 0) {
      worst = std::max(worst, now - last - qint64{tick_ms} * 1000000);
    }
    last = now;
  });

  std::atomic<bool> flooded{false};
  clock.start();
  probe.start(tick_ms);
  std::thread worker([&] {
    const unsigned total = 0xFFFFFFFFu;
    for (unsigned i = 1; i <= events; ++i) {
      hub.on_photo_upload_progress(static_cast<unsigned>(std::uint64_t{total} * i / events), total,
                                   0u);
    }
    flooded = true;
  });
  // Until the last report is shown: the bar at 0.99.
  while (!flooded || page->bar().value() < 0.99f) {
    app.processEvents(QEventLoop::AllEvents, 50);
  }
  worker.join();
  const double seconds = clock.nsecsElapsed() / 1e9;
  const int paints = counter.paints;
  const qint64 shortest_gap = counter.shortest_gap_ns;
  hub.on_photo_upload_succeeded();
  // Let the last paint land.
  QElapsedTimer tail;
  tail.start();
  while (tail.elapsed() < 100) {
    app.processEvents(QEventLoop::AllEvents, 50);
  }
  const long after = bench::process_status_kib("VmRSS:");

  std::printf("upload progress signals   %u in %.2f s (%.0f per second)\n", events, seconds,
              events / seconds);
  std::printf("worst event-loop latency  %.1f ms (target < 50)\n", worst / 1e6);
  std::printf("bar paints                %d, %.1f per second (target <= 60)\n", paints,
              paints / seconds);
  std::printf("shortest gap between two  %.1f ms (60 a second: 16.7)\n", shortest_gap / 1e6);
  std::printf("memory before / after     %.1f / %.1f MB, growth %.2f MB (target < 5)\n",
              before / 1024.0, after / 1024.0, (after - before) / 1024.0);
  return 0;
}
