#include "ui/app/startup_options.hpp"

#include <gtest/gtest.h>

namespace parvel {
namespace {

constexpr QSize minimum{750, 580};
const QRect screen(0, 0, 1920, 1080);
const std::vector<screen_area> screens{{screen, QRect(0, 32, 1920, 1048)}};

TEST(startup_options, command_line_decides_debug_and_hidden) {
  struct row {
    const char* line;
    bool debug;
    bool hidden;
  };
  const row rows[] = {
      {"", false, false},
      {"-debug", true, false},
      {"/DEBUG", true, false},
      {"\\Debug", true, false},
      {"-tray", false, true},
      {"/tray -debug", true, true},
      {"\"/usr/bin/lumbrel send\" -TRAY", false, true},
      {"debug tray", false, false},
      {"-debugger -trays", false, false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.line);
    const startup_options decided = decide_startup(core::parse_command_line(r.line),
                                                   window_placement{}, false, screens, minimum);
    EXPECT_EQ(decided.debug, r.debug);
    EXPECT_EQ(decided.hidden, r.hidden);
  }
}

TEST(startup_options, fullscreen_covers_primary_screen_without_frame) {
  window_placement placement;
  placement.show_command = 2;
  const startup_options windowed = decide_startup({}, placement, false, screens, minimum);
  EXPECT_FALSE(windowed.frameless);
  EXPECT_EQ(windowed.geometry, placement_to_window(placement, minimum, screens));

  const startup_options full = decide_startup({}, placement, true, screens, minimum);
  EXPECT_TRUE(full.frameless);
  EXPECT_EQ(full.geometry.frame, screen);
  EXPECT_EQ(full.geometry.state, Qt::WindowMinimized) << "the saved show state still applies";
}

TEST(startup_options, tray_hides_a_fullscreen_start_too) {
  const startup_options decided =
      decide_startup(core::parse_command_line("-tray"), window_placement{}, true, screens, minimum);
  EXPECT_TRUE(decided.hidden);
  EXPECT_TRUE(decided.frameless);
}

}  // namespace
}  // namespace parvel
