#include "ui/app/window_geometry.hpp"

#include <algorithm>
#include <cstdint>

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

// The part of the frame's top that must show on one screen for the user to
// reach the title bar and drag the window back.
constexpr int title_bar_height = 30;
constexpr QSize title_bar_grip{100, 10};

// Bounds of the saved rectangle's corner and sides, whatever the record
// holds: Qt's largest widget, so that no sum of them overflows an int.
constexpr std::int64_t coordinate_limit = 1 << 24;

int saved_coordinate(std::int32_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -coordinate_limit, coordinate_limit));
}

int saved_extent(std::int32_t from, std::int32_t to, int minimum) {
  return static_cast<int>(
      std::clamp<std::int64_t>(std::int64_t{to} - from, minimum, coordinate_limit));
}

bool title_bar_shows(const QRect& frame, const QRect& available) {
  const QRect shown =
      QRect(frame.left(), frame.top(), frame.width(), title_bar_height).intersected(available);
  return shown.width() >= std::min(title_bar_grip.width(), frame.width()) &&
         shown.height() >= title_bar_grip.height();
}

// The screen that shows most of the frame among those that show its title bar.
const screen_area* screen_of(const QRect& frame, const std::vector<screen_area>& screens) {
  const screen_area* best = nullptr;
  std::int64_t best_area = -1;
  for (const screen_area& screen : screens) {
    if (!title_bar_shows(frame, screen.available))
      continue;
    const QRect shown = frame.intersected(screen.available);
    const std::int64_t area = std::int64_t{shown.width()} * shown.height();
    if (area > best_area) {
      best = &screen;
      best_area = area;
    }
  }
  return best;
}

// One side of the frame within the available span [start, start + span):
// cut to the span, never below minimum, and then moved onto it.
void fit_side(int& position, int& extent, int start, int span, int minimum) {
  if (extent > span) {
    extent = std::max(span, minimum);
    position = start;
  }
}

QRect fitted_to_screens(QRect frame, QSize minimum, const std::vector<screen_area>& screens) {
  if (screens.empty())
    return frame;
  const screen_area* screen = screen_of(frame, screens);
  const QRect area = (screen ? *screen : screens.front()).available;
  int left = frame.left(), top = frame.top();
  int width = frame.width(), height = frame.height();
  fit_side(left, width, area.left(), area.width(), minimum.width());
  fit_side(top, height, area.top(), area.height(), minimum.height());
  if (!screen) {
    left = area.left() + std::max(0, (area.width() - width) / 2);
    top = area.top() + std::max(0, (area.height() - height) / 2);
  }
  return QRect(left, top, width, height);
}

}  // namespace

window_geometry placement_to_window(const window_placement& placement, QSize minimum,
                                    const std::vector<screen_area>& screens) {
  const QRect saved(saved_coordinate(placement.left), saved_coordinate(placement.top),
                    saved_extent(placement.left, placement.right, minimum.width()),
                    saved_extent(placement.top, placement.bottom, minimum.height()));
  return {fitted_to_screens(saved, minimum, screens), state_of(placement.show_command)};
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
