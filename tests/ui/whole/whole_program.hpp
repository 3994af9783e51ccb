#pragma once

#include <QLineEdit>
#include <QPoint>
#include <QStringList>
#include <QTest>
#include <filesystem>
#include <string>

#include "tests/engine/road/send_road_fixture.hpp"

class QWindow;

namespace parvel {
class addphotos_page;
class main_frame;
class send_page;
}  // namespace parvel

// What the whole-program scenarios share: the stand-in service, the frame
// driven through its window as a person would, and the tools that read what
// the service received.
namespace whole_test {

constexpr int send_limit_ms = 120000;

// The frame application_run shows, while it runs; else null.
parvel::main_frame* running_frame();

// Once a process: trusts the tests' CA and starts imaging with the codecs
// registered, as the program's start-up does.
void prepare_process();

// The stand-in service over HTTPS with the tests' CA, named in the settings.
class service_road : public test_support::send_road {
 public:
  void TestBody() override {}
  using send_road::data_;
  using send_road::received;
  using send_road::recorder_;
  using send_road::service_;
};

// Writes a PNG of that size into folder; its path. A noisy one hardly
// compresses, so its upload takes several progress reports.
QString make_photo(const std::filesystem::path& folder, const std::string& name, int width,
                   int height, bool noisy = false);

// A tool's exit code and standard output; -1 when it did not end in time.
struct tool_result {
  int exit_code = -1;
  QByteArray output;
};
tool_result run_tool(const QString& program, const QStringList& arguments);

// The archive's entry names, sorted and joined by spaces, as python's
// zipfile reads them.
QByteArray archive_names(const std::string& archive);

// The frame of a running program, driven through its window (clicks through
// tests/support/widget_driver.hpp).
class frame_driver {
 public:
  explicit frame_driver(parvel::main_frame& frame) : frame_(frame) {}

  QWindow* window() const;
  parvel::addphotos_page& page() const;
  // The send page while the canvas shows it, else null.
  parvel::send_page* send_page() const;

  // Shows the frame at a realistic size and waits until it is active.
  bool show();
  // Clicks into the field and types; false when it did not get the focus.
  bool type(QWidget& field, const QString& text);
  // Selects the field's text and types over it.
  bool retype(QLineEdit& field, const QString& text);

  // The recipients "carl@z.example; " and the contact completed from "bo",
  // then the sender, subject and message.
  bool fill_form(const QString& subject, const QString& message);
  // Photos through the file dialog, then one dropped on the page.
  void add_photos(const QStringList& from_dialog, const QString& dropped);
  // Presses Send; false when the send page does not appear.
  bool press_send();
  // Presses Send and waits (bounded) for success: empty then, else what the
  // send page says, or that it did not appear.
  QString send_until_success();
  // Waits (bounded) until the send page shows an outcome: succeeded, failed
  // or cancelled, other than the one it showed before a retry; its state,
  // send_none on time-out.
  int wait_for_outcome(int before_retry = 0) const;

 private:
  parvel::main_frame& frame_;
};

}  // namespace whole_test
