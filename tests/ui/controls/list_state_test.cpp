#include "ui/controls/list_state.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ui/controls/basic_list_notification.hpp"

namespace parvel {
namespace {

struct fake_model final : list_model {
  int rows = 0;
  std::map<int, int> row_kinds;  // whole rows of one kind
  int row_count() const override { return rows; }
  int cell_kind(int row, int) const override {
    const auto kind = row_kinds.find(row);
    return kind == row_kinds.end() ? list_kind_text : kind->second;
  }
};

struct notification {
  int code, row, column;
  friend bool operator==(const notification&, const notification&) = default;
};

// Rows 20 pixels high, columns 100 and 50 wide, no header unless asked.
struct list_fixture {
  explicit list_fixture(int rows, QSize client = {200, 300}, bool header = false) {
    model.rows = rows;
    state.options.show_header = header;
    state.add_column("Name");
    state.add_column("Size");
    state.set_column_width(0, 100);
    state.set_column_width(1, 50);
    state.set_row_height(20);
    state.set_client_size(client);
    state.set_notify_sink([this](int code, int row, int column) {
      sent.push_back({code, row, column});
    });
  }
  QPoint row_point(int row) const { return {10, state.band_height() + row * 20 + 5}; }

  fake_model model;
  list_state state{model};
  std::vector<notification> sent;
};

struct hit_row {
  std::string name;
  bool header;
  int position;
  QPoint point;
  std::optional<list_cell> expected;
};

TEST(list_state, hit_test_finds_rows_and_columns_by_strict_bounds) {
  const std::vector<hit_row> rows = {
      {"just above the first row of a list without header", false, 0, {50, -1}, std::nullopt},
      {"most of a row above the first row", false, 0, {50, -19}, std::nullopt},
      {"top pixel of the first row", false, 0, {50, 0}, list_cell{0, 0}},
      {"bottom pixel of the first row", false, 0, {50, 19}, list_cell{0, 0}},
      {"top pixel of the second row", false, 0, {50, 20}, list_cell{1, 0}},
      {"below the last row", false, 0, {50, 200}, std::nullopt},
      {"inside the header band", true, 0, {50, 19}, std::nullopt},
      {"first row below the header", true, 0, {50, 20}, list_cell{0, 0}},
      {"on the boundary between the columns", false, 0, {100, 5}, std::nullopt},
      {"left edge of the first column", false, 0, {0, 5}, std::nullopt},
      {"just right of the boundary", false, 0, {101, 5}, list_cell{0, 1}},
      {"right of every column", false, 0, {160, 5}, std::nullopt},
      {"scrolled two rows down", false, 40, {50, 0}, list_cell{2, 0}},
      {"scrolled one and a half rows rounds to two", false, 30, {50, 0}, list_cell{2, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    list_fixture list(10, {200, 100}, row.header);
    list.state.set_vertical_position(row.position);
    EXPECT_EQ(list.state.hit_test(row.point), row.expected);
  }
}

TEST(list_state, header_hit_test_finds_dividers_before_columns) {
  const std::vector<std::tuple<std::string, QPoint, std::optional<header_hit>>> rows = {
      {"inside the first column", {50, 5}, header_hit{0, 0}},
      {"left of the first divider",
       {96, 5},
       header_hit{0, header_hit::divider | header_hit::divider_left}},
      {"right of the first divider",
       {104, 5},
       header_hit{0, header_hit::divider | header_hit::divider_left}},
      {"below the band", {50, 21}, std::nullopt},
  };
  for (const auto& [name, point, expected] : rows) {
    SCOPED_TRACE(name);
    list_fixture list(3, {200, 300}, true);
    EXPECT_EQ(list.state.header_hit_test(point), expected);
  }
}

struct action {
  enum type { click, right_click, press, release, key } what;
  int row = 0;  // a row for the mouse, a key for the keyboard
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

struct selection_row {
  std::string name;
  int rows;
  bool single;
  std::vector<action> actions;
  std::vector<int> selected;
  int anchor;
  list_cell caret;
  std::vector<notification> sent;  // after the first action
};

constexpr auto shift = Qt::ShiftModifier;
constexpr auto ctrl = Qt::ControlModifier;

TEST(list_state, mouse_and_keys_select_rows) {
  const int click = notify_click, changed = notify_selection_changed;
  const std::vector<selection_row> rows = {
      {"Shift+Down twice extends from the anchor with no caret column",
       3,
       false,
       {{action::click, 0}, {action::key, Qt::Key_Down, shift}, {action::key, Qt::Key_Down, shift}},
       {0, 1, 2},
       0,
       {2, -1},
       {{changed, 1, -1}, {changed, 2, -1}}},
      {"Shift+click extends from the anchor",
       6,
       false,
       {{action::click, 1}, {action::click, 4, shift}},
       {1, 2, 3, 4},
       1,
       {4, -1},
       {{changed, 4, -1}, {click, 4, 0}}},
      {"Ctrl+click on the only selected row removes it silently",
       3,
       false,
       {{action::click, 1}, {action::click, 1, ctrl}},
       {},
       1,
       {1, 0},
       {{click, 1, 0}}},
      {"Ctrl+click on another row adds it",
       3,
       false,
       {{action::click, 0}, {action::click, 2, ctrl}},
       {0, 2},
       2,
       {2, -1},
       {{changed, 2, -1}, {click, 2, 0}}},
      {"single selection: Ctrl+click selects only the clicked row",
       3,
       true,
       {{action::click, 0}, {action::click, 2, ctrl}},
       {2},
       2,
       {2, 0},
       {{changed, 2, 0}, {click, 2, 0}}},
      {"single selection: Shift+click is a plain click",
       5,
       true,
       {{action::click, 0}, {action::click, 3, shift}},
       {3},
       3,
       {3, 0},
       {{changed, 3, 0}, {click, 3, 0}}},
      {"a press inside a multiple selection keeps it until the release",
       5,
       false,
       {{action::click, 0}, {action::click, 2, shift}, {action::press, 1}},
       {0, 1, 2},
       0,
       {2, -1},
       {{changed, 2, -1}, {click, 2, 0}}},
      {"the release collapses the selection, then notifies the click",
       5,
       false,
       {{action::click, 0}, {action::click, 2, shift}, {action::press, 1}, {action::release, 1}},
       {1},
       1,
       {1, 0},
       {{changed, 2, -1}, {click, 2, 0}, {changed, 1, 0}, {click, 1, 0}}},
      {"Ctrl+A selects every row without notifying",
       4,
       false,
       {{action::click, 1}, {action::key, Qt::Key_A, ctrl}},
       {0, 1, 2, 3},
       1,
       {1, 0},
       {}},
      {"Ctrl+A does nothing with single selection",
       4,
       true,
       {{action::click, 1}, {action::key, Qt::Key_A, ctrl}},
       {1},
       1,
       {1, 0},
       {}},
      {"Shift pressed alone keeps a selection built with Ctrl",
       5,
       false,
       {{action::click, 0}, {action::click, 3, ctrl}, {action::key, Qt::Key_Shift, shift}},
       {0, 3},
       3,
       {3, -1},
       {{changed, 3, -1}, {click, 3, 0}}},
      {"Ctrl+Down moves the caret without selecting",
       5,
       false,
       {{action::click, 0}, {action::key, Qt::Key_Down, ctrl}},
       {0},
       0,
       {1, 1},
       {}},
      {"Delete notifies the focus row and column 1",
       5,
       false,
       {{action::click, 2}, {action::key, Qt::Key_Delete}},
       {2},
       2,
       {2, 0},
       {{notify_delete_key, 2, 1}}},
      {"End and Down select nothing in an empty list",
       0,
       false,
       {{action::key, Qt::Key_End}, {action::key, Qt::Key_Down}},
       {},
       -1,
       {-1, 1},
       {}},
      {"a click on an empty list notifies no row",
       0,
       false,
       {{action::key, Qt::Key_Home}, {action::click, 0}},
       {},
       -1,
       {},
       {{click, -1, -1}}},
      {"a group row refuses the selection",
       3,
       false,
       {{action::click, 0}, {action::click, 1}},
       {0},
       0,
       {0, 0},
       {{click, 1, 0}}},
      {"a right click below the rows empties the selection",
       3,
       false,
       {{action::click, 0}, {action::right_click, 5}},
       {},
       -1,
       {},
       {{notify_right_click, -1, -1}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    list_fixture list(row.rows);
    list.state.options.single_selection = row.single;
    list.model.row_kinds = {{1, row.name.starts_with("a group") ? list_kind_group : 0}};
    for (std::size_t i = 0; i < row.actions.size(); ++i) {
      if (i == 1)
        list.sent.clear();
      const action& step = row.actions[i];
      const QPoint point = list.row_point(step.row);
      switch (step.what) {
        case action::click:
          list.state.left_press(point, step.modifiers);
          list.state.left_release(point, step.modifiers);
          break;
        case action::right_click:
          list.state.right_press(point, step.modifiers);
          list.state.right_release(point);
          break;
        case action::press:
          list.state.left_press(point, step.modifiers);
          break;
        case action::release:
          list.state.left_release(point, step.modifiers);
          break;
        case action::key:
          list.state.key_down(step.row, step.modifiers & ctrl, step.modifiers & shift);
          break;
      }
    }
    EXPECT_EQ(list.state.selected_rows(), row.selected);
    EXPECT_EQ(list.state.anchor(), row.anchor);
    EXPECT_EQ(list.state.caret(), row.caret);
    EXPECT_EQ(list.sent, row.sent);
  }
}

TEST(list_state, keys_scroll_the_caret_into_view) {
  // 20 rows, five of them visible.
  const std::vector<std::tuple<std::string, int, int, int, int>> rows = {
      // name, row clicked, key, caret row, vertical position
      {"Down past the last visible row brings it to the bottom", 4, Qt::Key_Down, 5, 20},
      {"End scrolls to the last row", 0, Qt::Key_End, 19, 300},
      {"Page Down moves by the visible rows less one", 0, Qt::Key_PageDown, 4, 0},
      {"Page Down from the bottom row scrolls", 4, Qt::Key_PageDown, 8, 80},
  };
  for (const auto& [name, clicked, key, caret, position] : rows) {
    SCOPED_TRACE(name);
    list_fixture list(20, {200, 100});
    list.state.select(clicked, 0, Qt::NoModifier);
    list.state.key_down(key, false, false);
    EXPECT_EQ(list.state.caret().row, caret);
    EXPECT_EQ(list.state.vertical_position(), position);
    EXPECT_EQ(list.state.selected_rows(), std::vector<int>{caret});
  }
  list_fixture list(20, {200, 100});
  list.state.select(19, 0, Qt::NoModifier);
  list.state.key_down(Qt::Key_End, false, false);
  list.state.key_down(Qt::Key_Home, false, false);
  EXPECT_EQ(list.state.vertical_position(), 0);
}

TEST(list_state, scroll_ranges_follow_rows_header_and_options) {
  struct range_row {
    std::string name;
    int rows;
    bool header;
    bool vertical;
    scroll_range expected;
  };
  const std::vector<range_row> rows = {
      {"ten rows fit", 10, false, true, {0, 300}},
      {"twenty rows overflow", 20, false, true, {400, 300}},
      {"the header takes its band from the page", 20, true, true, {400, 280}},
      {"fourteen rows just fit under the header", 14, true, true, {0, 280}},
      {"an empty list", 0, false, true, {0, 300}},
      {"without a bar the rows scroll all the same", 20, false, false, {400, 300}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    list_fixture list(row.rows, {200, 300}, row.header);
    list.state.options.vertical_scroll = row.vertical;
    EXPECT_EQ(list.state.vertical_range(), row.expected);
  }
  list_fixture list(1, {120, 300});
  EXPECT_EQ(list.state.horizontal_range(), (scroll_range{150, 120}));
  list.state.set_client_size({200, 300});
  EXPECT_EQ(list.state.horizontal_range(), (scroll_range{0, 200}));
}

TEST(list_vertical_range, ends_where_the_last_row_lies_whole_at_the_bottom) {
  struct range_row {
    std::string name;
    int rows, row_height, page;
    scroll_range expected;
  };
  constexpr int most = std::numeric_limits<int>::max();
  const std::vector<range_row> rows = {
      {"every row fits", 10, 20, 300, {0, 300}},
      {"the rows just fill the room", 15, 20, 300, {0, 300}},
      {"room for a whole number of rows", 20, 20, 300, {400, 300}},
      {"fifteen rows and 13 pixels of room", 18, 20, 313, {373, 313}},
      {"more rows in the same room", 31, 20, 313, {633, 313}},
      {"one row more than fits, a pixel short of another", 16, 20, 319, {339, 319}},
      {"a pixel more than a row", 16, 20, 21, {321, 21}},
      {"less room than a row shows the last at the top", 3, 20, 13, {53, 13}},
      {"no room", 3, 20, 0, {40, 0}},
      {"less than no room, under a header taller than the list", 3, 20, -5, {40, 0}},
      {"no rows", 0, 20, 313, {0, 313}},
      {"no row height yet", 5, 0, 313, {0, 313}},
      {"rows beyond the integers stop at the largest", most, 20, 313, {most, 313}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(list_vertical_range(row.rows, row.row_height, row.page), row.expected);
  }
}

TEST(list_rows_in_band, are_the_rows_the_band_crosses_whatever_lies_outside) {
  struct band_row {
    std::string name;
    int first_visible, rows, row_height, rows_top, top, bottom;
    row_span expected;
  };
  constexpr int most = std::numeric_limits<int>::max();
  const std::vector<band_row> rows = {
      {"the first rows", 0, 1000, 20, 0, 0, 99, {0, 5}},
      {"a band ending on a row's first pixel takes it", 0, 1000, 20, 0, 0, 100, {0, 6}},
      {"scrolled: counted from the first visible row", 30, 1000, 20, 0, 0, 99, {30, 35}},
      {"under a header", 0, 1000, 20, 24, 0, 63, {0, 2}},
      {"a screen's height of a window as tall as a million rows",
       0,
       1000000,
       20,
       0,
       0,
       1023,
       {0, 52}},
      {"a band far down a tall window", 0, 1000000, 20, 0, 19999980, 19999999, {999999, 1000000}},
      {"a band below the rows", 0, 3, 20, 0, 100, 200, {3, 3}},
      {"a band to the end of the integers",
       0,
       most,
       20,
       0,
       most - 40,
       most,
       {most / 20 - 2, most / 20 + 1}},
      {"an empty band", 0, 1000, 20, 0, 50, 49, {0, 0}},
      {"no rows", 0, 0, 20, 0, 0, 99, {0, 0}},
      {"no row height yet", 0, 1000, 0, 0, 0, 99, {0, 0}},
      {"scrolled past rows a model lost", 40, 30, 20, 0, 0, 99, {0, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const row_span span = list_rows_in_band(row.first_visible, row.rows, row.row_height,
                                            row.rows_top, row.top, row.bottom);
    EXPECT_EQ(span.first, row.expected.first);
    EXPECT_EQ(span.last, row.expected.last);
  }
}

TEST(list_state, the_end_of_the_range_shows_the_last_row_whole) {
  // Client heights that leave part of a row over, with and without a header;
  // the end reached by position, wheel, End and the bar's last value.
  for (const bool header : {false, true}) {
    for (const int height : {313, 319, 301, 330, 45}) {
      for (const int count : {18, 31}) {
        SCOPED_TRACE(testing::Message()
                     << "header " << header << ", height " << height << ", " << count << " rows");
        const auto last_row_whole = [&](const list_fixture& list) {
          const std::optional<QRect> rect = list.state.row_rect(count - 1);
          return rect && rect->top() >= list.state.band_height() && rect->bottom() < height;
        };
        list_fixture list(count, {200, height}, header);
        list.state.set_vertical_position(std::numeric_limits<int>::max());
        EXPECT_TRUE(last_row_whole(list));
        const scroll_range range = list.state.vertical_range();
        EXPECT_EQ(list.state.vertical_position(), range.maximum - range.page);

        list_fixture wheeled(count, {200, height}, header);
        for (int notch = 0; notch < count; ++notch)
          wheeled.state.wheel(-120);
        EXPECT_TRUE(last_row_whole(wheeled));

        list_fixture keyed(count, {200, height}, header);
        keyed.state.select(0, 0, Qt::NoModifier);
        keyed.state.key_down(Qt::Key_End, false, false);
        EXPECT_TRUE(last_row_whole(keyed));
      }
    }
  }
}

TEST(list_state, wheel_moves_by_the_whole_lines_of_the_deltas_sum_within_the_range) {
  // 20 rows of 20 pixels in 300: positions 0 to 100; 3 lines a notch of 120.
  const std::vector<std::tuple<std::string, int, std::vector<int>, int>> rows = {
      {"one notch towards the user", 0, {-120}, 60},
      {"two notches stop at the end", 0, {-240}, 100},
      {"one notch away", 100, {120}, 40},
      {"one notch away stops at the top", 30, {120}, 0},
      {"half a notch is one line", 0, {-60}, 20},
      {"a quarter notch alone is no line yet", 0, {-30}, 0},
      {"touchpad steps of 24 add up to a notch", 0, {-24, -24, -24, -24, -24}, 60},
      {"steps of 15 make a line every third", 100, {15, 15, 15, 15, 15}, 80},
      {"a step back takes back what was carried", 0, {-30, 30, -30}, 0},
      {"a notch between fractions keeps them", 0, {-20, -120, -20}, 80},
  };
  for (const auto& [name, start, deltas, expected] : rows) {
    SCOPED_TRACE(name);
    list_fixture list(20);
    list.state.set_vertical_position(start);
    for (const int delta : deltas)
      list.state.wheel(delta);
    EXPECT_EQ(list.state.vertical_position(), expected);
  }
}

TEST(list_state, the_pointer_chooses_the_row_it_highlights_where_asked) {
  // 20 rows, 15 in view. Steps: 'v' the key Down, 'm' the pointer moved onto
  // slot 4 of the view, 'w' a notch of the wheel towards the user with the
  // pointer on slot 5, 'b' the same on the columns' boundary, on no cell.
  const std::vector<std::tuple<std::string, bool, std::string, std::vector<int>, int>> rows = {
      {"the pointer's row is hot beside the chosen one", false, "vvm", {1}, 4},
      {"the wheel heats the row it brings under the pointer", false, "vvvw", {2}, 8},
      {"the pointer chooses the row it moves onto", true, "vvm", {4}, 4},
      {"the keys go on from the pointer's row and take its highlight", true, "mv", {5}, 4},
      {"the wheel chooses the row it brings under the pointer", true, "vvvw", {8}, 8},
      {"the wheel over no cell keeps the choice", true, "vb", {0}, -1},
  };
  for (const auto& [name, pointer_chooses, steps, chosen, hot] : rows) {
    SCOPED_TRACE(name);
    list_fixture list(20);
    list.state.options.hot_tracking = true;
    list.state.options.pointer_chooses = pointer_chooses;
    for (const char step : steps) {
      if (step == 'v')
        list.state.key_down(Qt::Key_Down, false, false);
      else if (step == 'm')
        list.state.mouse_move(list.row_point(4), false);
      else
        list.state.wheel(-120, step == 'w' ? list.row_point(5) : QPoint(100, 5));
    }
    EXPECT_EQ(list.state.selected_rows(), chosen);
    EXPECT_EQ(list.state.hot().row, hot);
    std::vector<int> highlighted, expected = chosen;
    for (int row = 0; row < 20; ++row)
      if (list.state.is_highlighted(row))
        highlighted.push_back(row);
    if (!pointer_chooses && hot != -1)
      expected.push_back(hot);
    EXPECT_EQ(highlighted, expected);
  }
}

TEST(list_state, selection_beyond_a_shrunk_model_is_forgotten) {
  list_fixture list(8);
  list.state.select(4, 0, Qt::NoModifier);
  list.state.select(6, 0, Qt::ShiftModifier);
  list.model.rows = 5;  // rows removed behind the list's back
  EXPECT_EQ(list.state.selected_rows(), (std::vector<int>{4}));

  list.state.trim_to_row_count();
  EXPECT_EQ(list.state.anchor(), 4);
  EXPECT_EQ(list.state.caret(), list_cell{});
  list.sent.clear();
  list.state.key_down(Qt::Key_Delete, false, false);
  EXPECT_EQ(list.sent, (std::vector<notification>{{notify_delete_key, 4, 1}}));

  list.model.rows = 3;
  list.state.trim_to_row_count();
  list.state.select(1, 0, Qt::ShiftModifier);
  EXPECT_EQ(list.state.selected_rows(), (std::vector<int>{1}));
}

TEST(list_state, parent_removing_rows_on_delete_leaves_the_next_row_selected) {
  list_fixture list(6);
  list.state.select(2, 0, Qt::NoModifier);
  list.state.select(3, 0, Qt::ShiftModifier);
  list.state.set_notify_sink([&](int code, int, int) {
    if (code != notify_delete_key)
      return;
    list.model.rows -= 2;
    list.state.deselect_rows(list.state.selected_rows());
  });
  list.state.key_down(Qt::Key_Delete, false, false);
  EXPECT_EQ(list.state.selected_rows(), (std::vector<int>{3}));
}

}  // namespace
}  // namespace parvel
