// An update feed whose release notes are one hostile or oversized case, read
// as the update check reads it and offered on the update page at 1000 x 700
// offscreen. Prints the time to read the feed, to parse the notes, the first
// draw, the median and worst of REDRAWS redraws (each after a resize, so the
// page picture is drawn anew), the time to drop the page, and the resident
// and peak memory of the process.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/process_status.hpp"
#include "core/update/select_enclosure.hpp"
#include "core/update/update_feed.hpp"
#include "core/update/update_feed_handler.hpp"
#include "core/xml/xml_reader.hpp"
#include "ui/update/update_page.hpp"

namespace {

constexpr std::size_t mib = 1 << 20;
const std::string xhtml_open = "<div xmlns='http://www.w3.org/1999/xhtml'>";

std::string repeated(const std::string& piece, std::size_t count) {
  std::string out;
  out.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i)
    out += piece;
  return out;
}

// An offer of version 2.0.0.0 whose content element holds `content`.
std::string feed(const std::string& content) {
  return "<feed xmlns='http://www.w3.org/2005/Atom' "
         "xmlns:u='http://www.lumbrel.example/schemas/appsyndication/2009'><entry>"
         "<u:version>2.0.0.0</u:version><link platform='X86' href='https://a.example/s.run'/>"
         "<content type='xhtml'>" +
         content + "</content></entry></feed>";
}

// The content's pieces between an opening and a closing text, as many as
// keep the whole feed within `bytes`.
std::string filled(const std::string& open, const std::string& piece, const std::string& close,
                   std::size_t bytes) {
  const std::size_t room = bytes - feed(open + close).size();
  return open + repeated(piece, room / piece.size()) + close;
}

std::string cdata(const std::string& text) {
  return "<![CDATA[" + text + "]]>";
}

const std::size_t cap = 16 * mib;

const std::map<std::string, std::function<std::string()>> cases = {
    {"flat-1mb", [] { return filled(xhtml_open + "<ul>", "<li>x</li>", "</ul></div>", mib); }},
    {"flat-16mb", [] { return filled(xhtml_open + "<ul>", "<li>x</li>", "</ul></div>", cap); }},
    {"unclosed-p-110k", [] { return cdata(xhtml_open + repeated("<p>", 110000)); }},
    // In the feed's own markup the reader refuses such nesting; in a CDATA
    // section it reaches the notes as it stands.
    {"nested-ul-150k",
     [] { return xhtml_open + repeated("<ul>", 150000) + repeated("</ul>", 150000) + "</div>"; }},
    {"nested-ul-150k-cdata",
     [] {
       return cdata(xhtml_open + repeated("<ul>", 150000) + repeated("</ul>", 150000) + "</div>");
     }},
    {"nested-ul-16mb-cdata",
     [] {
       const std::size_t levels = (cap - feed(cdata(xhtml_open + "</div>")).size()) / 9;
       return cdata(xhtml_open + repeated("<ul>", levels) + repeated("</ul>", levels) + "</div>");
     }},
    {"unclosed-p-1m", [] { return cdata(xhtml_open + repeated("<p>", 1000000)); }},
    {"unclosed-p-16mb", [] { return filled("<![CDATA[" + xhtml_open, "<p>", "]]>", cap); }},
    {"unclosed-other-16mb", [] { return filled("<![CDATA[" + xhtml_open, "<x>", "]]>", cap); }},
    {"one-line-of-texts-16mb",
     [] { return filled(xhtml_open + "<p>", "ab<i/>", "</p></div>", cap); }},
    {"one-long-text-16mb", [] { return filled(xhtml_open + "<p>", "word ", "</p></div>", cap); }},
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
  const char* redraws_text = std::getenv("REDRAWS");
  const int redraws = std::max(1, redraws_text ? std::atoi(redraws_text) : 10);
  QApplication app(argc, argv);

  std::string body = feed(cases.at(argv[1])());
  const double feed_mb = body.size() / double(mib);
  QElapsedTimer timer;
  timer.start();
  core::update::update_feed read;
  try {
    core::update::update_feed_handler handler(&read);
    core::xml_reader reader;
    reader.parse(&handler, body);
  } catch (const std::exception& e) {
    std::printf("%-22s feed %4.1f MB read %6.0f ms, refused: %s | peak %5.0f MB\n", argv[1],
                feed_mb, ms_since(timer), e.what(), bench::process_status_kib("VmHWM:") / 1024.0);
    return 0;
  }
  const core::update::update_enclosure offer = core::update::select_enclosure(read, "X86");
  read.clear();
  body.clear();
  body.shrink_to_fit();
  const double feed_ms = ms_since(timer);

  auto page = std::make_unique<parvel::update_page>();
  page->resize(1000, 700);
  page->show();
  app.processEvents();

  timer.restart();
  page->set_enclosure(offer);
  const double parse_ms = ms_since(timer);

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
  const long resident = bench::process_status_kib("VmRSS:");

  timer.restart();
  page.reset();
  const double teardown_ms = ms_since(timer);

  std::printf(
      "%-22s feed %4.1f MB read %6.0f ms | notes parse %6.0f ms, first draw %6.1f ms, redraw "
      "median %6.1f / worst %6.1f ms, drop %5.1f ms | resident %5.0f MB, peak %5.0f MB\n",
      argv[1], feed_mb, feed_ms, parse_ms, first_ms, times[times.size() / 2], times.back(),
      teardown_ms, resident / 1024.0, bench::process_status_kib("VmHWM:") / 1024.0);
  return 0;
}
