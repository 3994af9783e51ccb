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

// The record saved at close from the window: frame is its outer rectangle,
// normal_frame its outer rectangle when neither minimised nor maximised (the
// one to come back to); the other fields of saved are kept.
window_placement placement_from_window(const window_placement& saved, QRect frame,
                                       QRect normal_frame, Qt::WindowStates state);

}  // namespace parvel
