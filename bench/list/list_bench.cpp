// The add-photos page at 1000 x 700 with a folder of PHOTOS files added at
// once, then its list scrolled from top to bottom a page at a time. Prints
// the time from the add call to the first complete paint, the median and the
// worst paint per scroll step, and the memory grown (peak) for the rows.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/process_status.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/photo_list/addphotos_list.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: list_bench FOLDER PHOTOS\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int photos = std::stoi(argv[2]);
  std::filesystem::create_directories(folder);
  for (int i = 0; i < photos; ++i) {
    std::ofstream(folder / ("photo" + std::to_string(100000 + i) + ".jpg"))
        << std::string(static_cast<std::size_t>(i % 4096), 'x');
  }

  QApplication application(argc, argv);
  // Connected before the page's own slots, so it marks the moment the photo
  // set has taken the files and the windows start to follow.
  QElapsedTimer clock;
  double set_ms = 0;
  const boost::signals2::scoped_connection marking =
      parvel::user::instance()->signal_photos_added.connect(
          [&] { set_ms = static_cast<double>(clock.nsecsElapsed()) / 1e6; });
  parvel::addphotos_page page;
  page.resize(1000, 700);
  page.show();
  // Painting is skipped until the window is exposed.
  QElapsedTimer waited;
  waited.start();
  while (!page.windowHandle()->isExposed() && waited.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  page.repaint();
  parvel::addphotos_list& list = page.photo_list();
  const long before_kib = bench::process_status_kib("VmRSS:");

  clock.start();
  parvel::user::instance()->get_package()->add_paths({folder.string()});
  page.repaint();
  const double first_paint_ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;

  std::vector<double> steps;
  QScrollBar& bar = *list.verticalScrollBar();
  while (bar.value() < bar.maximum()) {
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    clock.restart();
    list.viewport()->repaint();
    steps.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  const auto worst_at = std::max_element(steps.begin(), steps.end()) - steps.begin();
  std::sort(steps.begin(), steps.end());
  const long peak_kib = bench::process_status_kib("VmHWM:");

  std::printf("rows %d, scroll steps %zu (%d rows visible)\n", list.row_count(), steps.size(),
              list.visible_row_count());
  std::printf(
      "add to first complete paint: %.1f ms (target under 500 ms), of which %.1f ms in the "
      "photo set's add\n",
      first_paint_ms, set_ms);
  std::printf(
      "paint per scroll step: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms at "
      "step %td (target under 8 ms)\n",
      steps.empty() ? 0.0 : steps[steps.size() / 2],
      steps.empty() ? 0.0 : steps[steps.size() * 95 / 100], steps.empty() ? 0.0 : steps.back(),
      worst_at);
  std::printf("memory grown for the rows (peak): %.1f MB (target under 20 MB)\n",
              (peak_kib - before_kib) / 1024.0);
  return 0;
}
