#include "ui/app/window_geometry.hpp"

#include <algorithm>

namespace parvel {

namespace {

// Show commands of the saved record.
constexpr std::int32_t show_normal = 1;
constexpr std::int32_t show_minimized = 2;
constexpr std::int32_t show_maximized = 3;
constexpr std::int32_t minimize = 6;
constexpr std::int32_t show_min_no_active = 7;
constexpr std::int32_t force_minimize = 11;

Qt::WindowStates state_of(std::int32_t show_command) {
  switch (show_command) {
    case show_minimized:
    case minimize:
    case show_min_no_active:
    case force_minimize:
      return Qt::WindowMinimized;
    case show_maximized:
      return Qt::WindowMaximized;
    default:
      // Hidden included: a frame that starts hidden has no way to be shown.
      return Qt::WindowNoState;
  }
}

}  // namespace

window_geometry placement_to_window(const window_placement& placement, QSize minimum) {
  const int width = std::max(placement.right - placement.left, minimum.width());
  const int height = std::max(placement.bottom - placement.top, minimum.height());
  return {QRect(placement.left, placement.top, width, height), state_of(placement.show_command)};
}

window_placement placement_from_window(const window_placement& saved, QRect normal_frame,
                                       Qt::WindowStates state, bool position_known) {
  window_placement placement = saved;
  if (normal_frame.isValid()) {
    if (position_known) {
      placement.left = normal_frame.left();
      placement.top = normal_frame.top();
    }
    placement.right = placement.left + normal_frame.width();
    placement.bottom = placement.top + normal_frame.height();
  }
  if (state & Qt::WindowMinimized) {
    placement.show_command = show_minimized;
  } else if (state & Qt::WindowMaximized) {
    placement.show_command = show_maximized;
  } else {
    placement.show_command = show_normal;
  }
  return placement;
}

}  // namespace parvel
