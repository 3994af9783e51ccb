#pragma once

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

// Whether a gdiplus_startup is alive; imaging calls fail without one.
bool gdiplus_started();

}  // namespace core::graphics::gdip
