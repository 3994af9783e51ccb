#pragma once

#include <optional>
#include <thread>

namespace core::graphics::gdip {

// Keeps the imaging library started while it lives. Starts are counted, so
// each holder keeps it available whatever other holders do; the last one to
// go stops it for good: the library cannot be started again in this process,
// and a later start throws. Failure: gdiplus_exception "GDI+ could not be
// initialized.". Any thread.
class gdiplus_startup {
 public:
  gdiplus_startup();
  ~gdiplus_startup();
  gdiplus_startup(const gdiplus_startup&) = delete;
  gdiplus_startup& operator=(const gdiplus_startup&) = delete;
};

// Whether a gdiplus_startup is alive; imaging calls fail without one. Waits
// first for a gdiplus_background_startup still under way.
bool gdiplus_started();

// Starts the library and registers the image codecs (register_image_codecs) on
// a thread of its own, so that the caller need not wait for the library's
// modules to load; imaging calls made meanwhile wait for it (gdiplus_started).
// A library that fails to start ends the process through std::terminate; codecs
// that cannot be registered (registered already) are logged. The destructor
// waits for the thread, then stops the library as ~gdiplus_startup does.
// Construct on the thread that destroys it.
class gdiplus_background_startup {
 public:
  gdiplus_background_startup();
  ~gdiplus_background_startup();
  gdiplus_background_startup(const gdiplus_background_startup&) = delete;
  gdiplus_background_startup& operator=(const gdiplus_background_startup&) = delete;

 private:
  std::optional<gdiplus_startup> started_;
  std::thread thread_;
};

}  // namespace core::graphics::gdip
