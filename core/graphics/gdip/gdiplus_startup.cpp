#include "core/graphics/gdip/gdiplus_startup.hpp"

#include <vips/vips8>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/gdip/register_image_codecs.hpp"
#include "core/log/logger.hpp"
#include "core/log/severity.hpp"

namespace core::graphics::gdip {

namespace {

// Constant-initialised: usable from other static objects' destructors.
constinit std::mutex start_mutex;
constinit int start_count = 0;
constinit bool stopped_for_good = false;
constinit guint warning_handler = 0;
// Background starts not yet finished; gdiplus_started waits for none to be left.
constinit int pending_starts = 0;
std::condition_variable pending_finished;

void finish_pending_start() {
  {
    const std::lock_guard lock(start_mutex);
    --pending_starts;
  }
  pending_finished.notify_all();
}

// libvips reports damage it works around (a truncated photo, say) as GLib
// warnings on standard error; they belong in the debug log. A C callback:
// nothing may escape it.
void log_library_warning(const gchar*, GLogLevelFlags, const gchar* message, gpointer) {
  try {
    log::write(log::severity::debug, "libvips: %s", message != nullptr ? message : "");
  } catch (...) {
  }
}

}  // namespace

gdiplus_startup::gdiplus_startup() {
  const std::lock_guard lock(start_mutex);
  if (stopped_for_good) {
    throw gdiplus_exception("GDI+ could not be initialized.", status::gdiplus_not_initialized);
  }
  if (start_count == 0) {
    if (VIPS_INIT("lumbrel-send-photo") != 0) {
      vips_error_clear();
      throw gdiplus_exception("GDI+ could not be initialized.", status::generic_error);
    }
    // Every photo of a batch is a different file: cached operations would
    // only hold memory and open files.
    vips_cache_set_max(0);
    // Photos go through one at a time, each read by a serial decoder (JPEG,
    // PNG): three workers keep it fed, more only queue for it. On 24 MP JPEGs
    // three gave a quarter more photos a second than eight. VIPS_CONCURRENCY
    // still overrides.
    if (std::getenv("VIPS_CONCURRENCY") == nullptr) {
      vips_concurrency_set(
          static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 3U)));
    }
    warning_handler = g_log_set_handler(
        "VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
        log_library_warning, nullptr);
  }
  ++start_count;
}

gdiplus_startup::~gdiplus_startup() {
  const std::lock_guard lock(start_mutex);
  if (--start_count == 0) {
    // The last stop may come from a static destructor, after the logger's.
    g_log_remove_handler("VIPS", warning_handler);
    vips_shutdown();
    stopped_for_good = true;
  }
}

bool gdiplus_started() {
  std::unique_lock lock(start_mutex);
  pending_finished.wait(lock, [] { return pending_starts == 0; });
  return start_count > 0;
}

gdiplus_background_startup::gdiplus_background_startup() {
  {
    // Counted before the thread runs, so that no imaging call can slip in
    // ahead of it and find the library not started.
    const std::lock_guard lock(start_mutex);
    ++pending_starts;
  }
  try {
    thread_ = std::thread([this] {
      // A library that cannot start escapes the thread: it ends the process
      // through the terminate handler, as a failed start on the main thread
      // would. Imaging would fail for every photo otherwise.
      started_.emplace();
      try {
        register_image_codecs();
      } catch (const std::exception& e) {
        try {
          log::write(log::severity::error, "%s", e.what());
        } catch (...) {
        }
      }
      finish_pending_start();
    });
  } catch (...) {
    finish_pending_start();
    throw;
  }
}

gdiplus_background_startup::~gdiplus_background_startup() {
  thread_.join();
}

}  // namespace core::graphics::gdip
