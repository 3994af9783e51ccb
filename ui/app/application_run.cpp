#include "ui/app/application_run.hpp"

#include <QDir>
#include <QScreen>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/log/logger.hpp"
#include "core/module.hpp"
#include "core/version_info.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/controller/job_dispatch.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/photos/temp_folder.hpp"
#include "engine/user/user.hpp"
#include "ui/app/desktop_file_id.hpp"
#include "ui/app/guarded_application.hpp"
#include "ui/app/main_frame.hpp"
#include "ui/app/process_setup.hpp"
#include "ui/app/single_instance.hpp"
#include "ui/app/startup_id.hpp"
#include "ui/app/startup_options.hpp"
#include "ui/app/termination_signal.hpp"
#include "ui/app/x11_window.hpp"

namespace parvel {

namespace {

namespace sev = core::log::severity;

// Well beyond a cancel's usual 200 ms and the second or so that the
// conversion of one photo, which a cancel does not cut short, takes; short
// enough that a quit never seems to hang.
constexpr std::chrono::seconds job_quit_limit{5};

void add_debug_sink() {
  core::log::global_logger().add_sink(core::log::make_sink(core::log::make_debug_out_stream()));
  const core::version version = core::version_info(core::get_current_module()).product_version();
  core::log::write(sev::debug, "Application Version: '%s' (%s)", core::version_to_string(version),
                   "X86");
}

QString private_temp_folder() {
  try {
    return QString::fromStdString(get_temp_folder());
  } catch (const std::exception& e) {
    core::log::write(sev::warning, "%s", e.what());
    return {};
  }
}

// After the loop: every job cancelled and ended before imaging stops, so that
// quitting during a send neither crashes nor hangs. The archive kept for a
// Retry goes then, as after a cancel: no Retry can come any more. A job held
// in the kernel (a photo on a stalled network mount) sees no cancel: the
// process ends without it, before any object it uses is destroyed under it;
// the archive goes all the same, since a file open in that job outlives its
// name.
void end_jobs(int result) {
  const bool ended = cancel_all_jobs_and_wait(job_quit_limit);
  user::instance()->get_package()->remove_archive();
  if (!ended) {
    std::_Exit(result);
  }
}

// Qt's X11 platform ends the process with exit(1) from inside its loop when
// the display goes away (a logout): the shut-down after the loop never runs,
// and exit() would destroy static objects (OpenSSL's state, the application
// with its dispatcher) under the jobs' threads. exit() first destroys the
// calling thread's thread_local objects: this one, made on the
// user-interface thread, ends the jobs and removes the kept archive there,
// while every static object still stands, and ends the process with 1 before
// any is destroyed.
class exit_inside_loop {
 public:
  static exit_inside_loop& of_this_thread() {
    thread_local exit_inside_loop guard;
    return guard;
  }

  void set_loop_runs(bool runs) { loop_runs_ = runs; }

  ~exit_inside_loop() {
    if (loop_runs_) {
      end_jobs(1);
      std::fflush(nullptr);
      std::_Exit(1);
    }
  }

 private:
  bool loop_runs_ = false;
};

// Qt's Wayland platform may hang for ever in its display's teardown: its
// event thread can quit holding a read it prepared and never cancelled, and
// the display's other reader then waits for it. The process would live on
// without a window, and the next start would only ask it to show one. Called
// once the lock is released and everything is written: the process ends
// without that teardown (nor the destructors of its objects and of static
// ones, which write nothing). The leak check that exit would run runs here.
[[noreturn]] void end_without_wayland_teardown(int result) {
#if defined(__SANITIZE_ADDRESS__)
  __lsan_do_leak_check();
#endif
  std::fflush(nullptr);
  std::_Exit(result);
}

std::vector<screen_area> screens_present() {
  std::vector<screen_area> screens;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary)
    screens.push_back({primary->geometry(), primary->availableGeometry()});
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary)
      screens.push_back({screen->geometry(), screen->availableGeometry()});
  }
  return screens;
}

void show_as_decided(main_frame& frame, const startup_options& decided) {
  if (decided.frameless) {
    frame.setWindowFlag(Qt::FramelessWindowHint);
  }
  frame.restore_frame(decided.geometry.frame);
  frame.setWindowState(decided.geometry.state);
  if (!decided.hidden) {
    frame.show();
  }
}

// What lets the window manager or the compositor weigh a second start's
// request as the user's own start: on X11 the start's time, in its startup
// notification id, the launcher's or one made here; elsewhere the activation
// token a launcher gave.
QString activation_token_of_start(const QByteArray& startup_id) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    return qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
  }
  const QString given = QString::fromUtf8(startup_id);
  if (startup_id_time(given)) {
    return given;
  }
  const std::uint32_t now = x11_server_time();
  return now != 0 ? own_startup_id(now) : QString();
}

}  // namespace

int application_run(const core::command_line_options& options,
                    std::optional<core::graphics::gdip::gdiplus_background_startup>& imaging,
                    const QByteArray& startup_id) {
  application& app = *application::instance();
  const QString title = QString::fromStdString(app.product_title());

  const QString temp_folder = private_temp_folder();
  single_instance instance(instance_places(QString::fromStdString(app.mutex_name()),
                                           qEnvironmentVariable("XDG_RUNTIME_DIR"), temp_folder));
  if (!instance.acquire()) {
    instance.ask_first_to_show(activation_token_of_start(startup_id));
    return -1;
  }

  QGuiApplication::setDesktopFileName(QString::fromLatin1(desktop_file_id));

  const application_settings& settings = *app.settings();
  const startup_options decided = decide_startup(options, settings.placement, settings.fullscreen,
                                                 screens_present(), main_frame::minimum_size);
  main_frame frame;
  frame.setWindowTitle(title);
  QObject::connect(&frame, &main_frame::closed, [] { QCoreApplication::exit(1); });

  // SIGTERM, SIGHUP, SIGINT and the session's end close without saving, as the
  // controller's exit does.
  termination_signal termination;
  QObject::connect(&termination, &termination_signal::terminated, &frame,
                   &main_frame::close_window);
  // Tests run the program inside a plain QApplication, which has no session signal.
  if (auto* application = qobject_cast<guarded_application*>(qApp)) {
    QObject::connect(application, &guarded_application::session_ending, &frame,
                     &main_frame::close_window);
  }

  show_as_decided(frame, decided);
  // Imaging starts only now, beside the loop: loading its modules would hold
  // up the window's map, and nothing uses it before a job runs, which waits
  // for it.
  imaging.emplace();
  instance.listen();
  QObject::connect(&instance, &single_instance::show_requested, &frame,
                   &main_frame::show_and_raise);

  // Its result comes through the controller's signals; the window does not wait for it.
  app.controller()->start_update_check();

  exit_inside_loop& guard = exit_inside_loop::of_this_thread();
  guard.set_loop_runs(true);
  const int result = QCoreApplication::exec();
  guard.set_loop_runs(false);
  end_jobs(result);
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    // Ended here, the window still mapped: destroying it would destroy a
    // frame callback that Qt's Wayland frame thread may be destroying too.
    imaging.reset();
    instance.release();
    end_without_wayland_teardown(result);
  }
  return result;
}

int app_main(int argc, char** argv) {
  // A log reader or a peer that goes away must not end the program: writes
  // to them then fail with EPIPE, which the log sink and the HTTP client handle.
  std::signal(SIGPIPE, SIG_IGN);
  drop_token_privileges();
  std::set_terminate(terminate_handler);

  auto& logger = core::log::global_logger();
  logger.set_formatters(core::log::standard_chain());
  logger.set_flush(true);

  const core::command_line_options options =
      core::parse_command_line(core::join_command_line(argc, argv));
  if (core::has_command_line_option(options, "debug")) {
    add_debug_sink();
  }

  // Qt's X11 platform takes it out of the environment as it starts.
  const QByteArray startup_id = qgetenv("DESKTOP_STARTUP_ID");
  guarded_application qt(argc, argv);
  std::optional<core::graphics::gdip::gdiplus_background_startup> imaging;
  const int result = application_run(options, imaging, startup_id);
  imaging.reset();
  // A second start, which has made no window, ends here.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    end_without_wayland_teardown(result);
  }
  return result;
}

}  // namespace parvel
