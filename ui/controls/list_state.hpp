#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "ui/controls/basic_list_column.hpp"

namespace parvel {

// What the list's logic needs to know of the rows, answered by the derived list.
class list_model {
 public:
  virtual int row_count() const = 0;
  virtual int cell_kind(int row, int column_id) const = 0;

 protected:
  ~list_model() = default;
};

struct list_options {
  bool show_header = true;
  bool single_selection = false;  // Shift does not extend, Ctrl does not add, Ctrl+A does nothing
  bool focus_cell_mode = false;   // the keyboard moves a focus cell column by column
  bool take_focus_on_click = true;
  bool horizontal_scroll = true;
  // Off: no vertical bar shows, yet the rows still scroll with the keys, the
  // wheel and scrolling into view, so the caret row stays in sight.
  bool vertical_scroll = true;
  bool border = false;
  bool always_active_look = false;
  bool hot_tracking = false;
  // The row the pointer moves onto, or the wheel brings under it, becomes the
  // one selected, and only selected rows are highlighted: the row the keys
  // move to takes the highlight from the row under the pointer, so that one
  // row at a time shows as the choice.
  bool pointer_chooses = false;
  bool bold_list_font = false;
  int font_size_delta = 0;  // pixels added to the list font's height
  int row_margin = 6;       // pixels added to the text height
  int wheel_lines = 3;
};

// A cell by row and column position; -1 = none.
struct list_cell {
  int row = -1;
  int column = -1;
  friend bool operator==(const list_cell&, const list_cell&) = default;
};

// A scroll bar's extent: `maximum` is the content size (0 = everything fits),
// `page` the visible part.
struct scroll_range {
  int maximum = 0;
  int page = 0;
  friend bool operator==(const scroll_range&, const scroll_range&) = default;
};

// The vertical range of `rows` rows of `row_height` pixels in `page` pixels
// of room for them. Rows are painted from the row nearest the position, so
// the last position is a whole number of rows: the one that puts the last
// row whole at the bottom (at the top when not even one row fits). The
// content is padded to it; `maximum` is 0 when every row fits.
scroll_range list_vertical_range(int rows, int row_height, int page);

// Rows [first, last) of a list that paints from row `first_visible` down,
// starting at `rows_top`, and that lie in the band of pixels `top` to
// `bottom` (both inclusive); empty when none does. Its cost does not grow
// with the rows outside the band.
struct row_span {
  int first = 0;
  int last = 0;
  friend bool operator==(const row_span&, const row_span&) = default;
};
row_span list_rows_in_band(int first_visible, int row_count, int row_height, int rows_top, int top,
                           int bottom);

struct header_hit {
  enum flag : int { divider = 1, divider_left = 2, divider_zero_width = 4 };
  int column = -1;
  int flags = 0;
  friend bool operator==(const header_hit&, const header_hit&) = default;
};

// Selection, caret, hot cell, scroll positions and geometry of an owner-drawn
// list, apart from any window: the widget feeds it events and paints from it.
// Positions are in pixels of the client area (the viewport).
class list_state {
 public:
  // (code, row, column position); may call back into the state and change the model.
  using notify_sink = std::function<void(int code, int row, int column)>;

  explicit list_state(const list_model& model);

  void set_notify_sink(notify_sink sink) { notify_ = std::move(sink); }

  list_options options;

  // Columns.
  int add_column(const QString& caption, int kind = list_kind_text, int flags = 0,
                 bool fixed = false);
  bool set_column_width(int position, int width);
  int column_count() const { return static_cast<int>(columns_.size()); }
  const std::vector<basic_list_column>& columns() const { return columns_; }
  int column_id(int position) const;
  int column_kind(int id) const;
  int column_flags(int id) const;
  int total_width() const { return total_width_; }
  // Left edge of a column in client coordinates.
  int column_left(int position) const;

  // Metrics and scrolling.
  void set_row_height(int height);
  int row_height() const { return row_height_; }
  int header_height() const { return header_height_; }
  int band_height() const { return options.show_header ? header_height_ : 0; }
  void set_client_size(QSize size);
  QSize client_size() const { return client_; }
  scroll_range vertical_range() const;
  scroll_range horizontal_range() const;
  int vertical_position() const { return vertical_; }
  int horizontal_position() const { return horizontal_; }
  // Both clamp into the range, as a scroll bar does.
  void set_vertical_position(int position);
  void set_horizontal_position(int position);
  int first_visible_row() const;
  int visible_row_count() const;
  std::optional<QRect> row_rect(int row) const;
  bool is_cell_visible(int row, int column) const;
  void ensure_visible(int row, int column);
  // delta in eighths of a degree (120 a notch); moves whole lines of
  // wheel_lines rows per notch. The row it brings under the pointer, when
  // the pointer is over the rows, is then hot as after a move.
  void wheel(int delta, std::optional<QPoint> pointer = std::nullopt);

  // Hit tests.
  std::optional<list_cell> hit_test(QPoint point) const;
  std::optional<header_hit> header_hit_test(QPoint point) const;
  bool is_link_cell(list_cell cell) const;

  // Selection.
  bool select(int row, int column, Qt::KeyboardModifiers modifiers);
  void select_all();
  void clear_selection() { selection_.clear(); }
  void deselect_rows(const std::vector<int>& rows);
  // Rows at or beyond the row count are left out: a model that shrank under
  // the list may leave them in the set until the next event.
  std::vector<int> selected_rows() const;
  bool is_selected(int row) const { return selection_.contains(row); }
  // Drawn as chosen: selected, or hot where hot tracking shows the pointer's
  // row apart from the selection.
  bool is_highlighted(int row) const;
  // Forgets rows, anchor, caret and hot cell beyond the model's row count.
  void trim_to_row_count();
  list_cell focus_cell() const;
  int anchor() const { return anchor_; }
  list_cell caret() const { return caret_; }
  list_cell hot() const { return hot_; }

  // Events; each may notify.
  void key_down(int key, bool ctrl, bool shift);
  void left_press(QPoint point, Qt::KeyboardModifiers modifiers);
  void left_release(QPoint point, Qt::KeyboardModifiers modifiers);
  void right_press(QPoint point, Qt::KeyboardModifiers modifiers);
  void right_release(QPoint point);
  void mouse_move(QPoint point, bool left_down);
  void mouse_leave() { hot_ = {}; }
  // Notifies `code` with the cell under the point, or -1s.
  void notify_at(QPoint point, int code);

 private:
  void notify(int row, int column, int code);
  void move_caret(int row, int column);

  const list_model& model_;
  notify_sink notify_;
  std::vector<basic_list_column> columns_;
  int total_width_ = 0;
  int row_height_ = 0;
  int header_height_ = 0;
  QSize client_;
  int vertical_ = 0;
  int horizontal_ = 0;
  // Wheel delta × wheel lines not yet moved, less than a line either way.
  int wheel_carry_ = 0;
  bool pressed_ = false;
  int anchor_ = -1;
  list_cell caret_;
  list_cell hot_;
  std::set<int> selection_;
};

}  // namespace parvel
