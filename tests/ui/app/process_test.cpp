#include <gtest/gtest.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/capability.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/log/logger.hpp"
#include "tests/support/log_capture.hpp"
#include "ui/app/guarded_application.hpp"
#include "ui/app/process_setup.hpp"
#include "ui/app/single_instance.hpp"
#include "ui/app/startup_id.hpp"

namespace parvel {
namespace {

// The program's log on standard error, as "debug" makes it.
void log_to_standard_error() {
  auto& logger = core::log::global_logger();
  logger.set_formatters(core::log::standard_chain());
  logger.set_flush(true);
  logger.add_sink(core::log::make_sink(core::log::make_debug_out_stream()));
}

// Stands in for the job dispatcher at exit: its destructor would wait for a
// job that never ends; here it aborts so that a run of static destructors
// fails at once instead of hanging.
struct waits_for_jobs_at_exit {
  ~waits_for_jobs_at_exit() { std::abort(); }
};

[[noreturn]] void terminate_on_worker() {
  static waits_for_jobs_at_exit dispatcher;
  log_to_standard_error();
  std::set_terminate(terminate_handler);
  std::thread([] { std::terminate(); }).join();
  std::abort();
}

TEST(terminate_handler, ends_at_once_with_255_without_static_destructors) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(terminate_on_worker(), testing::ExitedWithCode(255),
              "parvel \\[debug\\] - term_func\\(\\) was called by terminate\\(\\)\\.");
}

// The program starts imaging beside its loop. The library refuses to start
// again once stopped in a process: the failure a broken installation gives.
[[noreturn]] void start_imaging_that_fails() {
  log_to_standard_error();
  std::set_terminate(terminate_handler);
  { const core::graphics::gdip::gdiplus_startup once; }
  { const core::graphics::gdip::gdiplus_background_startup imaging; }
  std::_Exit(0);
}

TEST(terminate_handler, imaging_that_cannot_start_ends_the_program) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(start_imaging_that_fails(), testing::ExitedWithCode(255),
              "^parvel \\[debug\\] - term_func\\(\\) was called by terminate\\(\\)\\.\r\n$");
}

class throws_on_event : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) {
      throw std::runtime_error("cannot read the photo list");
    }
    return QObject::event(e);
  }
};

[[noreturn]] void throw_from_event_handler() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  log_to_standard_error();
  std::set_terminate(terminate_handler);
  int argc = 1;
  char name[] = "process_test";
  char* argv[] = {name, nullptr};
  guarded_application app(argc, argv);
  throws_on_event receiver;
  QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  std::abort();
}

TEST(guarded_application, exception_from_event_handler_is_logged_and_terminates) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(throw_from_event_handler(), testing::ExitedWithCode(255),
              "parvel \\[error\\] - cannot read the photo list\r\n"
              "parvel \\[debug\\] - term_func\\(\\) was called by terminate\\(\\)\\.");
}

bool holds_setpcap() {
  const std::unique_ptr<std::remove_pointer_t<cap_t>, int (*)(void*)> own(cap_get_proc(), cap_free);
  cap_flag_value_t value = CAP_CLEAR;
  return own && cap_get_flag(own.get(), CAP_SETPCAP, CAP_EFFECTIVE, &value) == 0 &&
         value == CAP_SET;
}

constexpr int not_privileged = 77;

// As root the child holds CAP_SETPCAP; otherwise a user namespace of its own
// gives it every capability there. Prints each set that still holds one and
// exits with their count.
[[noreturn]] void drop_in_a_privileged_child() {
  if (!holds_setpcap() && unshare(CLONE_NEWUSER) != 0) {
    std::_Exit(not_privileged);
  }
  drop_token_privileges();
  std::ifstream status("/proc/self/status");
  int held = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Cap", 0) == 0 && line.find(":\t0000000000000000") == std::string::npos) {
      std::fprintf(stderr, "%s\n", line.c_str());
      ++held;
    }
  }
  std::_Exit(held);
}

// A child started as root by the program (xdg-open, an installer) would
// regain at exec what the bounding set still holds.
TEST(drop_token_privileges, a_privileged_process_keeps_no_capability_in_any_set) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto emptied_or_not_privileged = [](int status) {
    return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == not_privileged);
  };
  EXPECT_EXIT(drop_in_a_privileged_child(), emptied_or_not_privileged, "");
}

TEST(single_instance, files_lie_in_the_runtime_folder_then_the_private_temp_folder) {
  struct row {
    const char* name;
    const char* runtime;
    const char* temp;
    std::vector<std::string> folders;
  };
  const std::string temp = "/var/tmp/lumbrel-send-photo-1000";
  const row rows[] = {
      {"runtime folder first", "/run/user/1000", temp.c_str(), {"/run/user/1000", temp}},
      {"no runtime folder", "", temp.c_str(), {temp}},
      {"relative runtime folder is ignored", "run", temp.c_str(), {temp}},
      {"no private temp folder", "/run/user/1000", "", {"/run/user/1000"}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::vector<single_instance_paths> places =
        instance_places(QStringLiteral("Local\\lumbrel_parvel"), QString::fromLatin1(r.runtime),
                        QString::fromLatin1(r.temp));
    ASSERT_EQ(places.size(), r.folders.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
      EXPECT_EQ(places[i].lock_file.toStdString(), r.folders[i] + "/lumbrel_parvel.lock");
      EXPECT_EQ(places[i].socket.toStdString(), r.folders[i] + "/lumbrel_parvel.socket");
    }
  }
}

TEST(single_instance, show_request_passes_on_a_well_formed_activation_token) {
  struct row {
    const char* name;
    QByteArray request;
    const char* token;
  };
  const QByteArray longest(1024, 't');
  const row rows[] = {
      {"no token", show_request({}), ""},
      {"token as a launcher gives it", show_request(QStringLiteral("kwin-1_a/b|c:9")),
       "kwin-1_a/b|c:9"},
      {"longest token", show_request(QString::fromLatin1(longest)), longest.constData()},
      {"no newline: the sender went", "show abc", "abc"},
      {"token too long", show_request(QString::fromLatin1(longest + 't')), ""},
      {"blank in the token", "show a b\n", ""},
      {"control character in the token", "show a\tb\n", ""},
      {"not ASCII", show_request(QStringLiteral("caf\u00e9")), ""},
      {"empty token", "show \n", ""},
      {"another word", "raise abc\n", ""},
      {"nothing sent", "", ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(activation_token_of(r.request).toStdString(), r.token);
  }
}

TEST(startup_id, names_the_time_of_the_start) {
  struct row {
    const char* name;
    const char* id;
    std::optional<std::uint32_t> time;
  };
  const row rows[] = {
      {"a launcher's", "xfce4-panel/host-1234-5_TIME87654321", 87654321},
      {"the last _TIME counts", "app_TIME5-x_TIME6", 6},
      {"largest time", "x_TIME4294967295", 4294967295U},
      {"time beyond 32 bits", "x_TIME4294967296", std::nullopt},
      {"time zero", "x_TIME0", std::nullopt},
      {"no time", "kwin-1_a/b|c:9", std::nullopt},
      {"no digits", "x_TIME", std::nullopt},
      {"not only digits", "x_TIME12a", std::nullopt},
      {"a sign", "x_TIME+12", std::nullopt},
      {"nothing", "", std::nullopt},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(startup_id_time(QString::fromLatin1(r.id)), r.time);
  }
  // What a second start sends when no launcher gave it an id: a token the
  // request carries whole.
  const QString own = own_startup_id(4294967295U);
  EXPECT_EQ(startup_id_time(own), 4294967295U);
  EXPECT_EQ(activation_token_of(show_request(own)), own);
}

TEST(single_instance, second_holder_is_refused_until_the_first_ends) {
  const QString folder = QDir(qEnvironmentVariable("TMPDIR")).filePath(QStringLiteral("instance"));
  QDir().mkpath(folder);
  const auto paths = instance_places(QStringLiteral("lumbrel_parvel"), folder, {});
  {
    single_instance first(paths);
    ASSERT_TRUE(first.acquire());
    single_instance second(paths);
    EXPECT_FALSE(second.acquire());
  }
  single_instance after(paths);
  EXPECT_TRUE(after.acquire()) << "the lock goes with its holder; the lock file stays";
}

// A runtime folder that cannot hold the lock passes it to the next place,
// where a second holder is refused; only without any place does a start go
// on unguarded. (A read-only one is tried with the real program, which runs
// without the privileges that let a test write there.)
TEST(single_instance, a_missing_runtime_folder_passes_the_lock_on) {
  const QString temp = QDir(qEnvironmentVariable("TMPDIR")).filePath(QStringLiteral("fallback"));
  QDir().mkpath(temp);
  const auto places = instance_places(QStringLiteral("lumbrel_parvel"),
                                      QStringLiteral("/nonexistent/folder"), temp);
  single_instance first(places);
  ASSERT_TRUE(first.acquire());
  single_instance second(places);
  EXPECT_FALSE(second.acquire());

  const test_support::log_capture capture;
  single_instance unguarded(
      instance_places(QStringLiteral("lumbrel_parvel"), QStringLiteral("/nonexistent/folder"), {}));
  EXPECT_TRUE(unguarded.acquire());
  EXPECT_NE(capture.text().find("parvel [warning] - no folder can hold the lock file: this "
                                "instance runs unguarded"),
            std::string::npos)
      << capture.text();
}

}  // namespace
}  // namespace parvel
