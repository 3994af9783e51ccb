#include "tests/ui/whole/whole_program.hpp"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QUrl>

#include "tests/support/fake_photo_dialogs.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/widget_driver.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/recipients/addphotos_contact_list.hpp"
#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"
#include "ui/addphotos/recipients/recipients_completion.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/controls/cue_edit.hpp"
#include "ui/send/send_page.hpp"

namespace whole_test {

namespace {

constexpr int tool_limit_ms = 30000;

parvel::recipients_completion* completion_of(QWidget& edit) {
  for (QObject* child : edit.children()) {
    if (auto* found = dynamic_cast<parvel::recipients_completion*>(child))
      return found;
  }
  return nullptr;
}

}  // namespace

parvel::main_frame* running_frame() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* frame = qobject_cast<parvel::main_frame*>(window))
      return frame;
  }
  return nullptr;
}

void prepare_process() {
  test_support::trusted_certificates();
  test_support::register_image_codecs();
}

QString make_photo(const std::filesystem::path& folder, const std::string& name, int width,
                   int height, bool noisy) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(40, 120, 200));
  if (noisy) {
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
      auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
      for (int x = 0; x < width; ++x)
        line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
  }
  const QString path = QString::fromStdString((folder / name).string());
  image.save(path, "PNG");
  return path;
}

tool_result run_tool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(tool_limit_ms) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  return {process.exitCode(), process.readAllStandardOutput().trimmed()};
}

QByteArray archive_names(const std::string& archive) {
  return run_tool(
             QStringLiteral("python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import sys,zipfile;"
                             "print(' '.join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))"),
              QString::fromStdString(archive)})
      .output;
}

QWindow* frame_driver::window() const {
  return frame_.windowHandle();
}

parvel::addphotos_page& frame_driver::page() const {
  return *static_cast<parvel::addphotos_page*>(
      frame_.canvas().page(parvel::canvas_view::layer::addphotos));
}

parvel::send_page* frame_driver::send_page() const {
  return dynamic_cast<parvel::send_page*>(frame_.canvas().page(parvel::canvas_view::layer::send));
}

bool frame_driver::show() {
  frame_.resize(1000, 700);
  frame_.show();
  frame_.activateWindow();
  return QTest::qWaitForWindowActive(&frame_);
}

bool frame_driver::type(QWidget& field, const QString& text) {
  // Keys reach only the active window.
  frame_.activateWindow();
  if (!QTest::qWaitForWindowActive(&frame_))
    return false;
  return test_support::type_into(field, text);
}

bool frame_driver::retype(QLineEdit& field, const QString& text) {
  if (!type(field, {}))
    return false;
  QTest::keyClick(window(), Qt::Key_A, Qt::ControlModifier);
  test_support::type(window(), text);
  return field.text() == text;
}

bool frame_driver::fill_form(const QString& subject, const QString& message) {
  if (!type(page().recipients_edit(), QStringLiteral("carl@z.example; bo")))
    return false;
  parvel::recipients_completion* completion = completion_of(page().recipients_edit());
  if (!completion || !completion->popup())
    return false;
  parvel::addphotos_contact_popup* contacts = completion->popup();
  if (!QTest::qWaitFor([contacts] { return contacts->isVisible(); }))
    return false;
  test_support::click_row(contacts->list(), 0);
  if (page().recipients_edit().text() != QStringLiteral("carl@z.example; bob@y.example; ")) {
    return false;
  }
  return type(page().sender_edit(), QStringLiteral("anna@x.example")) &&
         type(*test_support::control<QLineEdit>(page(), 138), subject) &&
         type(*test_support::control<QPlainTextEdit>(page(), 140), message);
}

void frame_driver::add_photos(const QStringList& from_dialog, const QString& dropped) {
  auto dialogs = std::make_unique<test_support::fake_photo_dialogs>();
  dialogs->files = from_dialog;
  page().set_dialogs(std::move(dialogs));
  page().on_add_files();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(dropped)});
  QDragEnterEvent enter(QPoint(500, 500), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&page(), &enter);
  QDropEvent drop(QPointF(500, 500), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&page(), &drop);
}

bool frame_driver::press_send() {
  test_support::click(page().send_button());
  return QTest::qWaitFor([this] { return send_page() != nullptr; });
}

QString frame_driver::send_until_success() {
  if (!press_send())
    return QStringLiteral("the send page did not appear");
  return wait_for_outcome() == parvel::send_succeeded ? QString() : send_page()->status_text();
}

int frame_driver::wait_for_outcome(int before_retry) const {
  const auto ended = [this, before_retry] {
    const int state = send_page() ? send_page()->state() : parvel::send_none;
    return state != before_retry &&
           (state == parvel::send_succeeded || state == parvel::send_failed ||
            state == parvel::send_canceled);
  };
  return QTest::qWaitFor(ended, send_limit_ms) ? send_page()->state() : parvel::send_none;
}

}  // namespace whole_test
