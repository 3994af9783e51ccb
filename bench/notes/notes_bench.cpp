// The update page offering an update whose release notes are one hostile or
// oversized case, at 1000 x 700 offscreen. Prints the time to parse the notes,
// the first draw, the median and worst of REDRAWS redraws (each after a
// resize, so the page picture is drawn anew), the time to drop the page, and
// the resident and peak memory of the process.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/update/update_enclosure.hpp"
#include "ui/update/update_page.hpp"

namespace {

constexpr std::size_t mib = 1 << 20;
const std::string xhtml_open = "<div xmlns='http://www.w3.org/1999/xhtml'>";

long status_kib(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0)
      return std::stol(line.substr(std::string(field).size()));
  }
  return 0;
}

std::string repeated(const std::string& piece, std::size_t count) {
  std::string out;
  out.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i)
    out += piece;
  return out;
}

// Fills up to about `bytes` with pieces between an opening and a closing text.
std::string filled(const std::string& open, const std::string& piece, const std::string& close,
                   std::size_t bytes) {
  return open + repeated(piece, (bytes - open.size() - close.size()) / piece.size()) + close;
}

const std::map<std::string, std::function<std::string()>> cases = {
    {"flat-1mb", [] { return filled(xhtml_open + "<ul>", "<li>x</li>", "</ul></div>", mib); }},
    {"flat-16mb",
     [] { return filled(xhtml_open + "<ul>", "<li>x</li>", "</ul></div>", 16 * mib - 4096); }},
    {"unclosed-p-110k", [] { return xhtml_open + repeated("<p>", 110000); }},
    {"nested-ul-150k",
     [] { return xhtml_open + repeated("<ul>", 150000) + repeated("</ul>", 150000) + "</div>"; }},
    {"unclosed-p-1m", [] { return xhtml_open + repeated("<p>", 1000000); }},
    {"unclosed-p-16mb", [] { return filled(xhtml_open, "<p>", "", 16 * mib - 4096); }},
    {"one-line-of-texts-16mb",
     [] { return filled(xhtml_open + "<p>", "ab<i/>", "</p></div>", 16 * mib - 4096); }},
    {"one-long-text-16mb",
     [] { return filled(xhtml_open + "<p>", "word ", "</p></div>", 16 * mib - 4096); }},
};

double ms_since(const QElapsedTimer& timer) {
  return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || !cases.count(argv[1])) {
    std::fprintf(stderr, "usage: notes_bench CASE\n  cases:");
    for (const auto& [name, make] : cases)
      std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  const int redraws =
      std::max(1, std::atoi(std::getenv("REDRAWS") ? std::getenv("REDRAWS") : "10"));
  QApplication app(argc, argv);

  core::update::update_enclosure offer;
  offer.title = "2.0";
  offer.content_type = "xhtml";
  offer.content = cases.at(argv[1])();
  const double input_mb = offer.content.size() / double(mib);

  auto page = std::make_unique<parvel::update_page>();
  page->resize(1000, 700);
  page->show();
  app.processEvents();

  QElapsedTimer timer;
  timer.start();
  page->set_enclosure(offer);
  const double parse_ms = ms_since(timer);
  offer.content.clear();
  offer.content.shrink_to_fit();

  page->set_state(1);
  timer.restart();
  page->grab();
  const double first_ms = ms_since(timer);

  std::vector<double> times;
  for (int i = 0; i < redraws; ++i) {
    page->resize(1000 + (i % 2 == 0 ? 1 : 0), 700);
    timer.restart();
    page->grab();
    times.push_back(ms_since(timer));
  }
  std::sort(times.begin(), times.end());
  const long resident = status_kib("VmRSS:");

  timer.restart();
  page.reset();
  const double teardown_ms = ms_since(timer);

  std::printf(
      "%-24s %6.1f MB in: parse %8.1f ms, first draw %8.1f ms, redraw median %8.1f / "
      "worst %8.1f ms, drop %7.1f ms, resident %6.1f MB, peak %6.1f MB\n",
      argv[1], input_mb, parse_ms, first_ms, times[times.size() / 2], times.back(), teardown_ms,
      resident / 1024.0, status_kib("VmHWM:") / 1024.0);
  return 0;
}
