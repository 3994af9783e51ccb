#pragma once

#include <QRect>
#include <Qt>
#include <vector>

#include "engine/app/window_placement.hpp"

namespace parvel {

// Where and how the main frame shows: its outer frame rectangle in screen
// pixels and its window state.
struct window_geometry {
  QRect frame;
  Qt::WindowStates state;

  friend bool operator==(const window_geometry&, const window_geometry&) = default;
};

// A screen present at start, in screen pixels: all of it, and the part that
// windows may take (without the desktop's panels).
struct screen_area {
  QRect geometry;
  QRect available;
};

// The saved record as a window: the normal rectangle (left, top, right,
// bottom) is the outer frame; show states 2 (minimised) and 3 (maximised)
// restore as such, every other as a normal window. The rectangle is never
// smaller than the frame's minimum size, and it is fitted to the screens
// present (the primary first), since the one it was saved on may be gone:
// one whose title bar would not show on any screen's available area is
// centred on the primary's, and one larger than the available area of the
// screen it lies on is cut to it, never below the minimum. Without screens
// the rectangle stays as saved.
window_geometry placement_to_window(const window_placement& placement, QSize minimum,
                                    const std::vector<screen_area>& screens);

// The record saved at close. normal_frame is the outer rectangle the window
// last had in the normal state (neither minimised, maximised nor full screen),
// the one to come back to; invalid when it had none, and then the saved
// rectangle stays. Where the platform tells no client its position
// (Wayland), the saved left and top stay and only the size is taken. The
// show state follows state; the other fields of saved are kept.
window_placement placement_from_window(const window_placement& saved, QRect normal_frame,
                                       Qt::WindowStates state, bool position_known);

}  // namespace parvel
