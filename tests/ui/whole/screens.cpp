// ui_screens DIR [--dark]: renders every page and state of the program in a
// 1000 x 700 main frame on the offscreen platform and saves each as a PNG in
// DIR, for people to look at, at the screen's scale (QT_SCALE_FACTOR). Each
// top-level window is grabbed by itself and put where it lies: the frame's
// own picture leaves the popups out. The offscreen platform loads no desktop
// theme: --dark gives the application a dark desktop's palette first, as
// such a theme would.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/graphics/gdip/register_image_codecs.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/support/desktop_palette.hpp"
#include "tests/support/widget_driver.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/app/canvas_view.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/controls/cue_edit.hpp"
#include "ui/send/send_page.hpp"
#include "ui/update/update_page.hpp"

namespace {

using parvel::canvas_view;

class screens {
 public:
  explicit screens(QString folder) : folder_(std::move(folder)) {
    frame_.move(0, 0);
    frame_.resize(1000, 700);
    frame_.show();
    frame_.activateWindow();
    if (!QTest::qWaitForWindowActive(&frame_))
      std::fprintf(stderr, "screens: the frame never became active\n");
  }

  void run() {
    // The window as it starts by default: at its minimum size.
    frame_.resize(frame_.minimumSize());
    shoot("00-addphotos-smallest");
    frame_.resize(1000, 700);
    shoot("01-addphotos-empty");
    fill_form();
    add_twelve_photos();
    shoot("02-addphotos-twelve-photos");
    paste_past_the_limit();
    shoot("02-addphotos-paste-cut-note");
    open_contact_popup();
    shoot("03-popup-contact");
    page().recipients_edit().setText(QStringLiteral("anna@example.org; bob@example.org"));
    click_outside();
    toggle_popup(&parvel::addphotos_panel_alt::toggle_convert_popup, "04-popup-format");
    toggle_popup(&parvel::addphotos_panel_alt::toggle_resize_popup, "05-popup-size");
    page().toggle_rename_popup();
    shoot("06-popup-rename");
    page().toggle_rename_popup();
    send_states();
    update_states();
  }

 private:
  canvas_view& canvas() const { return frame_.canvas(); }
  parvel::addphotos_page& page() const {
    return *static_cast<parvel::addphotos_page*>(canvas().page(canvas_view::layer::addphotos));
  }
  parvel::addphotos_panel_alt& action_panel() const {
    return *static_cast<parvel::addphotos_panel_alt*>(
        page().panel_widget(parvel::addphotos_page::panel::action));
  }
  template <class T>
  T* child(int id) const {
    return test_support::control<T>(page(), id);
  }

  // Lets posted calls, layouts and paints run.
  static void settle() {
    for (int i = 0; i < 5; ++i) {
      QApplication::processEvents();
      QApplication::sendPostedEvents();
    }
  }

  // A press outside closes the open completion list, as the user's would.
  void click_outside() {
    QTest::mouseClick(frame_.windowHandle(), Qt::LeftButton, {}, QPoint(40, 600));
    settle();
  }

  // The frame and the drop-downs reaching past it, each window's own picture
  // where the program places it, on grey where no window lies; in device
  // pixels, so a high-density screen shows at its own sharpness. The
  // offscreen screen's grabWindow takes native coordinates for logical ones
  // at scales other than 1, so the windows are grabbed one by one.
  void shoot(const char* name) {
    settle();
    std::vector<QWidget*> windows{&frame_};
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window != &frame_ && window->isVisible()) {
        windows.push_back(window);
      }
    }
    // Each window on the device pixels the platform gives it: its logical
    // position rounded, not the picture's origin shifted by half a pixel.
    const qreal ratio = frame_.devicePixelRatioF();
    const auto device_point = [ratio](QPoint point) { return (QPointF(point) * ratio).toPoint(); };
    QRect pixels;
    for (QWidget* window : windows) {
      pixels = pixels.united(QRect(device_point(window->geometry().topLeft()),
                                   (QSizeF(window->size()) * ratio).toSize()));
    }
    QImage image(pixels.size(), QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&image);
    for (QWidget* window : windows) {
      QPixmap picture = window->grab();
      picture.setDevicePixelRatio(1);
      painter.drawPixmap(device_point(window->geometry().topLeft()) - pixels.topLeft(), picture);
    }
    painter.end();
    const QString path = QDir(folder_).filePath(QString::fromLatin1(name) + ".png");
    if (!image.save(path))
      std::fprintf(stderr, "screens: cannot save %s\n", qPrintable(path));
    else
      std::printf("%s\n", qPrintable(path));
  }

  void fill_form() {
    page().sender_edit().setText(QStringLiteral("me@example.org"));
    child<QLineEdit>(138)->setText(QStringLiteral("Holiday at the lake"));
    child<QPlainTextEdit>(140)->setPlainText(
        QStringLiteral("Hi all,\nhere are the pictures from last weekend. The sunset ones came out "
                       "best.\nSee you soon!"));
    page().recipients_edit().setText(QStringLiteral("anna@example.org; bob@example.org"));
  }

  void add_twelve_photos() {
    const QDir photos(QDir(folder_).filePath(QStringLiteral(".photos")));
    photos.mkpath(QStringLiteral("."));
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
      QImage image(320 + 40 * i, 240 + 30 * i, QImage::Format_RGB32);
      image.fill(QColor::fromHsv(i * 30, 160, 220));
      const QString path = photos.filePath(QStringLiteral("IMG_%1.jpg").arg(4210 + i));
      image.save(path, "JPEG", 90);
      paths.push_back(path.toStdString());
    }
    parvel::user::instance()->get_package()->add_paths(paths);
  }

  // Over the whole To field, a list longer than it holds: the note shows.
  void paste_past_the_limit() {
    parvel::cue_edit& to = page().recipients_edit();
    to.setFocus();
    to.selectAll();
    QString list;
    for (int i = 0; i < 40; ++i)
      list += QStringLiteral("friend%1@example.org, ").arg(i);
    QGuiApplication::clipboard()->setText(list);
    QTest::keyClick(frame_.windowHandle(), Qt::Key_V, Qt::ControlModifier);
  }

  void open_contact_popup() {
    parvel::user& person = *parvel::user::instance();
    person.contacts = {"anna@example.org", "andrew.long.name@example.com", "anton@example.net",
                       "bob@example.org"};
    parvel::cue_edit& to = page().recipients_edit();
    to.clear();
    to.setFocus();
    settle();
    test_support::type(frame_.windowHandle(), QStringLiteral("an"));
  }

  void toggle_popup(void (parvel::addphotos_panel_alt::*toggle)(), const char* name) {
    (action_panel().*toggle)();
    shoot(name);
    (action_panel().*toggle)();
  }

  void send_states() {
    std::uint32_t tick = 1000;
    const std::shared_ptr<parvel::send_page> send =
        parvel::send_page::make([&tick] { return tick; });
    canvas().set_page(canvas_view::layer::send, send);
    send->set_state(parvel::send_started);
    send->on_photo_archive_progress(35, 100);
    shoot("07-send-1-started");
    send->set_state(parvel::send_uploading);
    const unsigned total = 48 * 1024 * 1024;
    send->on_photo_upload_progress(1024 * 1024, total);
    tick += 20000;
    send->on_photo_upload_progress(total / 3, total);
    shoot("08-send-2-uploading");
    send->on_photo_upload_progress(total, total);
    send->set_state(parvel::send_succeeded);
    shoot("09-send-3-succeeded");
    send->set_state(parvel::send_failed,
                    parvel::parvel_error(parvel::parvel_code::network_error_forbidden));
    shoot("10-send-4-failed");
    send->set_state(parvel::send_canceled);
    shoot("11-send-5-canceled");
    canvas().set_page(canvas_view::layer::send, nullptr);
  }

  void update_states() {
    core::update::update_enclosure offer;
    offer.title = "Lumbrel Send Photo 2.1";
    offer.content =
        "<div xmlns='http://www.w3.org/1999/xhtml'><p>What is new in this version:</p>"
        "<ul><li>Faster uploads over slow connections</li>"
        "<li>Photos can be renamed with sequence numbers</li>"
        "<li>Fewer clicks to pick recipients from your contacts</li></ul>"
        "<p>Thank you for using our program.</p></div>";
    offer.content_type = "xhtml";
    canvas().on_update_check_succeeded(true, offer);
    settle();
    auto* update = static_cast<parvel::update_page*>(canvas().page(canvas_view::layer::update));
    if (!update) {
      std::fprintf(stderr, "screens: no update page\n");
      return;
    }
    shoot("12-update-1-available");
    update->set_state(parvel::update_required);
    shoot("13-update-2-required");
    update->set_state(parvel::update_downloading);
    update->on_update_download_progress(3 * 1024 * 1024, 8 * 1024 * 1024);
    shoot("14-update-3-downloading");
    // The last byte: the installer opens next, and Cancel is no longer offered.
    update->on_update_download_progress(8 * 1024 * 1024, 8 * 1024 * 1024);
    shoot("14-update-3-downloaded");
    update->set_state(parvel::update_download_failed);
    shoot("15-update-4-download-failed");
    update->set_state(parvel::update_install_failed);
    shoot("16-update-5-installer-failed");
  }

  QString folder_;
  mutable parvel::main_frame frame_;
};

}  // namespace

int main(int argc, char** argv) {
  const bool dark = argc == 3 && std::string(argv[2]) == "--dark";
  if (argc != 2 && !dark) {
    std::fprintf(stderr, "usage: ui_screens DIR [--dark]\n");
    return 2;
  }
  QApplication application(argc, argv);
  if (dark)
    QApplication::setPalette(test_support::dark_desktop_palette());
  const core::graphics::gdip::gdiplus_startup imaging;
  core::graphics::gdip::register_image_codecs();
  QDir().mkpath(QString::fromLocal8Bit(argv[1]));
  screens(QString::fromLocal8Bit(argv[1])).run();
  return 0;
}
