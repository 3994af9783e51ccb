#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls/basic_flow_popup.hpp"

namespace parvel {
namespace {

TEST(window_size_on_desktop, cuts_what_no_screen_shows_at_the_right_and_bottom) {
  struct place_row {
    std::string name;
    QRect window;
    QSize expected;
  };
  const QRect desktop(0, 0, 1280, 1024);
  const std::vector<place_row> rows = {
      {"on the screen", {10, 10, 120, 80}, {120, 80}},
      {"as tall as a million rows", {10, 100, 500, 20000000}, {500, 924}},
      {"past the right edge", {1230, 10, 120, 80}, {50, 80}},
      {"starting above the screen keeps its top left", {10, -50, 120, 2000}, {120, 1074}},
      {"wholly below the screens", {10, 1100, 120, 20000000}, {120, 1024}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(window_size_on_desktop(row.window, desktop), row.expected);
  }
  EXPECT_EQ(window_size_on_desktop({1290, 10, 120, 80}, QRect(1280, 0, 1920, 1080)),
            QSize(120, 80))
      << "on a second screen";
}

}  // namespace
}  // namespace parvel
