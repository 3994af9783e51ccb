#pragma once

#include <QRect>
#include <Qt>

#include "engine/app/window_placement.hpp"

class QScreen;

namespace parvel {

// Where and how the main frame shows: its outer frame rectangle in screen
// pixels and its window state.
struct window_geometry {
  QRect frame;
  Qt::WindowStates state;

  friend bool operator==(const window_geometry&, const window_geometry&) = default;
};

// The saved record as a window: the normal rectangle (left, top, right,
// bottom) is the outer frame; show states 2 (minimised) and 3 (maximised)
// restore as such, every other as a normal window. The rectangle is kept as
// saved, only never smaller than the frame's minimum size.
window_geometry placement_to_window(const window_placement& placement, QSize minimum);

// The record saved at close. normal_frame is the outer rectangle the window
// last had in the normal state (neither minimised, maximised nor full screen),
// the one to come back to; invalid when it had none, and then the saved
// rectangle stays. Where the platform tells no client its position
// (Wayland), the saved left and top stay and only the size is taken. The
// show state follows state; the other fields of saved are kept.
window_placement placement_from_window(const window_placement& saved, QRect normal_frame,
                                       Qt::WindowStates state, bool position_known);

}  // namespace parvel
