#include "ui/app/window_geometry.hpp"

#include <gtest/gtest.h>

namespace parvel {
namespace {

constexpr QSize minimum{750, 580};

// A primary screen with a panel along its bottom, and a second screen left of it.
const std::vector<screen_area> desk{{QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 994)},
                                    {QRect(-1600, 0, 1600, 900), QRect(-1600, 0, 1600, 900)}};

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
    std::vector<screen_area> screens = desk;
  };
  const QRect centred(190, 147, 900, 700);
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
      {"off to the right of every screen is centred on the primary",
       saved(1, 3000, 2000, 3900, 2700),
       {centred, Qt::WindowNoState}},
      {"off to the left", saved(1, -5000, 100, -4100, 800), {centred, Qt::WindowNoState}},
      {"above", saved(1, 100, -3000, 1000, -2300), {centred, Qt::WindowNoState}},
      {"below, maximised", saved(3, 100, 5000, 1000, 5700), {centred, Qt::WindowMaximized}},
      {"only its bottom on a screen, the title bar above it",
       saved(1, 100, -650, 1000, 50),
       {centred, Qt::WindowNoState}},
      {"only a sliver of the title bar at the screen's edge",
       saved(1, 1240, 100, 2140, 800),
       {centred, Qt::WindowNoState}},
      {"enough of the title bar to drag it back stays",
       saved(1, 1100, 100, 2000, 800),
       {QRect(1100, 100, 900, 700), Qt::WindowNoState}},
      {"title bar under the panel is moved",
       saved(1, 100, 990, 1000, 1690),
       {centred, Qt::WindowNoState}},
      {"larger than the screen it is on is cut to the available area",
       saved(1, 10, 10, 2010, 1510),
       {QRect(0, 0, 1280, 994), Qt::WindowNoState}},
      {"wider only is cut in width only",
       saved(1, -1500, 100, 500, 800),
       {QRect(-1600, 100, 1600, 700), Qt::WindowNoState}},
      {"huge and nowhere becomes the primary's available area",
       saved(1, -50000, -50000, 99999, 99999),
       {QRect(0, 0, 1280, 994), Qt::WindowNoState}},
      {"extremes of the record",
       saved(1, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX),
       {QRect(0, 0, 1280, 994), Qt::WindowNoState}},
      {"a screen smaller than the minimum keeps the minimum",
       saved(1, 300, 200, 1100, 800),
       {QRect(0, 0, 750, 580), Qt::WindowNoState},
       {{QRect(0, 0, 640, 480), QRect(0, 0, 640, 480)}}},
      {"without screens the saved rectangle stays",
       saved(1, 3000, 2000, 3900, 2700),
       {QRect(3000, 2000, 900, 700), Qt::WindowNoState},
       {}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(placement_to_window(r.placement, minimum, r.screens), r.expected);
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
    EXPECT_EQ(placement_to_window(after, minimum, {{screen, screen}}).frame, r.stored)
        << "the next start restores it";
  }
}

}  // namespace
}  // namespace parvel
