#pragma once

#include <QVariantMap>

namespace parvel {

// The progress a launcher shows on the program's button, kept as the taskbar
// list keeps it: a value and one of four states.
class taskbar_progress {
 public:
  enum class state { no_progress, normal, error, paused };

  // p from 0 to 1, kept in thousandths truncated toward zero; a value shown
  // without progress switches to normal, as the taskbar list does.
  void set_value(float p);
  void set_state(state s);

  // The properties of a com.canonical.Unity.LauncherEntry Update: "progress",
  // "progress-visible" and "urgent". Normal is visible, error visible and
  // urgent, paused (a success) visible at 1.0, no progress neither.
  QVariantMap launcher_properties() const;

 private:
  int thousandths_ = 0;
  state state_ = state::no_progress;
};

}  // namespace parvel
