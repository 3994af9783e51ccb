// The recipients field with CONTACTS saved contacts that all hold the typed
// text, on the display Qt is given: a word typed and taken back, one key at
// a time. Prints the time each key holds the window (from the key to the
// end of the painting it caused), the popup's height, and the memory grown
// (peak) over the keys.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/support/process_status.hpp"
#include "engine/user/user.hpp"
#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"
#include "ui/addphotos/recipients/recipients_completion.hpp"

namespace {

void settle() {
  for (int round = 0; round < 5; ++round)
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: contacts_bench CONTACTS\n");
    return 2;
  }
  const int count = std::stoi(argv[1]);
  QApplication application(argc, argv);
  std::vector<std::string>& contacts = parvel::user::instance()->contacts;
  contacts.reserve(static_cast<std::size_t>(count));
  char contact[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(contact, sizeof contact, "person%07d@mail%03d.example.com", i, i % 997);
    contacts.emplace_back(contact);
  }

  QWidget window;
  window.resize(800, 600);
  QLineEdit edit(&window);
  edit.setGeometry(20, 20, 500, 24);
  parvel::recipients_completion completion(edit);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window, 10000)) {
    std::fprintf(stderr, "the window was not shown\n");
    return 1;
  }
  // No window manager: the keys go to the window's focus widget all the same.
  window.activateWindow();
  edit.setFocus();
  settle();
  const long before_kib = bench::process_status_kib("VmRSS:");

  const std::vector<int> keys = {Qt::Key_P,         Qt::Key_E, Qt::Key_R,        Qt::Key_Backspace,
                                 Qt::Key_Backspace, Qt::Key_E, Qt::Key_Backspace};
  std::vector<double> held;
  int popup_height = 0;
  for (const int key : keys) {
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(window.windowHandle(), static_cast<Qt::Key>(key));
    settle();
    held.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    if (completion.popup())
      popup_height = std::max(popup_height, completion.popup()->height());
  }
  const long peak_kib = bench::process_status_kib("VmHWM:");

  std::printf("contacts %d, popup height up to %d px (window %d px)\n", count, popup_height,
              window.height());
  std::printf("per key, ms:");
  for (const double ms : held)
    std::printf(" %.1f", ms);
  std::printf("\nworst key: %.1f ms\n", *std::max_element(held.begin(), held.end()));
  std::printf("memory grown over the keys (peak): %.1f MB\n", (peak_kib - before_kib) / 1024.0);
  return 0;
}
