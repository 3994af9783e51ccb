#include "ui/app/window_geometry.hpp"

#include <gtest/gtest.h>

namespace parvel {
namespace {

constexpr QSize minimum{750, 580};

window_placement saved(std::int32_t show, int left, int top, int right, int bottom) {
  window_placement p;
  p.show_command = show;
  p.left = left;
  p.top = top;
  p.right = right;
  p.bottom = bottom;
  return p;
}

TEST(window_geometry, saved_record_becomes_frame_rectangle_and_state) {
  struct row {
    const char* name;
    window_placement placement;
    window_geometry expected;
  };
  const row rows[] = {
      {"default record is 750 x 580 at 50,20",
       window_placement{},
       {QRect(50, 20, 750, 580), Qt::WindowNoState}},
      {"normal", saved(1, 100, 80, 1100, 780), {QRect(100, 80, 1000, 700), Qt::WindowNoState}},
      {"minimised", saved(2, 0, 0, 800, 600), {QRect(0, 0, 800, 600), Qt::WindowMinimized}},
      {"minimise command", saved(6, 0, 0, 800, 600), {QRect(0, 0, 800, 600), Qt::WindowMinimized}},
      {"minimised inactive",
       saved(7, 0, 0, 800, 600),
       {QRect(0, 0, 800, 600), Qt::WindowMinimized}},
      {"maximised keeps its normal rectangle",
       saved(3, 10, 10, 900, 700),
       {QRect(10, 10, 890, 690), Qt::WindowMaximized}},
      {"hidden shows normally",
       saved(0, 0, 0, 800, 600),
       {QRect(0, 0, 800, 600), Qt::WindowNoState}},
      {"on a screen left of the primary",
       saved(1, -1600, 0, -700, 700),
       {QRect(-1600, 0, 900, 700), Qt::WindowNoState}},
      {"smaller than the minimum grows",
       saved(1, 5, 5, 105, 55),
       {QRect(5, 5, 750, 580), Qt::WindowNoState}},
      {"inverted rectangle grows to the minimum",
       saved(1, 500, 500, 100, 100),
       {QRect(500, 500, 750, 580), Qt::WindowNoState}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(placement_to_window(r.placement, minimum), r.expected);
  }
}

TEST(window_geometry, window_becomes_record_at_close) {
  struct row {
    const char* name;
    QRect normal_frame;
    Qt::WindowStates state;
    bool position_known;
    std::int32_t show;
    QRect stored;
  };
  const QRect before_frame(50, 20, 750, 580);
  const QRect normal(60, 40, 800, 620);
  const QRect screen(0, 0, 1280, 1024);
  const row rows[] = {
      {"normal stores its frame", normal, Qt::WindowNoState, true, 1, normal},
      {"maximised stores the rectangle to come back to", normal, Qt::WindowMaximized, true, 3,
       normal},
      {"minimised stores minimised", normal, Qt::WindowMinimized, true, 2, normal},
      {"minimised from maximised stays minimised", normal,
       Qt::WindowMinimized | Qt::WindowMaximized, true, 2, normal},
      {"full screen by the window manager stores the normal rectangle, shown normally", normal,
       Qt::WindowFullScreen, true, 1, normal},
      {"never normal keeps the saved rectangle", QRect(), Qt::WindowMaximized, true, 3,
       before_frame},
      {"the frameless full screen of the settings stores the screen", screen, Qt::WindowNoState,
       true, 1, screen},
      {"without a known position the size is taken at the saved place", normal, Qt::WindowNoState,
       false, 1, QRect(50, 20, 800, 620)},
      {"full screen without a known position", normal, Qt::WindowFullScreen, false, 1,
       QRect(50, 20, 800, 620)},
  };
  window_placement before;
  before.flags = 2;
  before.min_x = -1;
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const window_placement after =
        placement_from_window(before, r.normal_frame, r.state, r.position_known);
    EXPECT_EQ(after.show_command, r.show);
    EXPECT_EQ(QRect(QPoint(after.left, after.top), QPoint(after.right - 1, after.bottom - 1)),
              r.stored);
    EXPECT_EQ(after.flags, 2) << "fields the window does not know are kept";
    EXPECT_EQ(after.min_x, -1);
    EXPECT_EQ(placement_to_window(after, minimum).frame, r.stored) << "the next start restores it";
  }
}

}  // namespace
}  // namespace parvel
