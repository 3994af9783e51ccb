#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <vector>

#include "ui/controls/basic_list_notification.hpp"
#include "ui/controls/list_state.hpp"

class QPainter;

namespace parvel {

// The window side of the owner-drawn list: turns Qt's events into calls of
// its list_state and paints the visible rows with one function. Rows live in
// the derived list, reached through the virtual hooks that basic_list<T>
// forwards statically to T. UI thread only.
class basic_list_base : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit basic_list_base(QWidget* parent = nullptr);
  ~basic_list_base() override;

  // Options; each takes effect at once.
  const list_options& options() const { return state_.options; }
  void set_show_header(bool on);
  void set_horizontal_scroll(bool on);
  void set_vertical_scroll(bool on);
  void set_single_selection(bool on);
  void set_focus_cell_mode(bool on);
  void set_take_focus_on_click(bool on);
  void set_border(bool on);
  void set_always_active_look(bool on);
  void set_hot_tracking(bool on);
  void set_pointer_chooses(bool on);
  // These three change the metrics: refresh_metrics runs again.
  void set_bold_list_font(bool on);
  void set_font_size_delta(int pixels);
  void set_row_margin(int pixels);

  // Columns: ids are handed out in order, 0, 1, 2, ...
  int add_column(const QString& caption, int kind = list_kind_text, int flags = 0,
                 bool fixed = false);
  // Ignored for a position outside the columns or a fixed column.
  void set_column_width(int position, int width);
  int column_count() const { return state_.column_count(); }
  int column_id(int position) const { return state_.column_id(position); }
  int column_kind(int id) const { return state_.column_kind(id); }
  int column_flags(int id) const { return state_.column_flags(id); }
  // The widest of the caption and every cell text plus 20; -1 for a position
  // outside the columns or a fixed column.
  int auto_size_width(int position) const;

  // Metrics from the widget's font and the options; true on success.
  bool refresh_metrics();
  int row_height() const { return state_.row_height(); }
  int header_height() const { return state_.header_height(); }
  int total_width() const { return state_.total_width(); }
  const QFont& list_font() const { return list_font_; }
  const QFont& bold_font() const { return bold_font_; }

  // The rows changed in the derived list: forgets selected rows beyond the
  // row count, updates the scroll bars and repaints.
  void update_scroll_bars();
  void row_added() { update_scroll_bars(); }

  // Selection.
  bool select(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  void clear_selection();
  void deselect_rows(const std::vector<int>& rows);
  std::vector<int> selected_rows() const { return state_.selected_rows(); }
  bool is_selected(int row) const { return state_.is_selected(row); }
  list_cell focus_cell() const { return state_.focus_cell(); }

  // Geometry, in viewport coordinates.
  std::optional<list_cell> hit_test(QPoint point) const { return state_.hit_test(point); }
  int visible_row_count() const { return state_.visible_row_count(); }
  int first_visible_row() const { return state_.first_visible_row(); }
  std::optional<QRect> row_rect(int row) const { return state_.row_rect(row); }
  void invalidate_row(int row);
  bool is_cell_visible(int row, int column) const { return state_.is_cell_visible(row, column); }
  void ensure_visible(int row, int column);

  // Painted at the top left behind the rows; a null image removes it.
  void set_background_image(const QImage& image);
  const QImage& background_image() const { return background_; }
  // Square check images side by side: state 0 at x = 0, state 1 at x = side.
  void set_check_images(const QImage& strip);

  // Tells the parent; `column` is a position, the record carries its id.
  void notify(int row, int column, int code);
  // The number of "id_<n>" in the object name, else 0.
  int control_id() const;

  const list_state& state() const { return state_; }

 Q_SIGNALS:
  void signal_notify(const parvel::basic_list_notification& record);

 protected:
  bool viewportEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Tab moves to the window's next control, except in focus-cell mode.
  bool focusNextPrevChild(bool next) override;

 private:
  // Answered by basic_list<T> from T.
  virtual int list_row_count() const = 0;
  virtual int list_cell_kind(int row, int column_id) const = 0;
  virtual QString list_cell_text(int row, int column_id) const = 0;
  virtual void list_draw_own_cell(QPainter& painter, const QRect& cell, int row, int column_id);
  virtual void list_draw_own_text(QPainter& painter, const QRect& text, int row, int column_id);

  struct model_adapter final : list_model {
    explicit model_adapter(const basic_list_base& owner) : list(owner) {}
    int row_count() const override { return list.list_row_count(); }
    int cell_kind(int row, int column_id) const override {
      return list.list_cell_kind(row, column_id);
    }
    const basic_list_base& list;
  };

  struct palette_colours {
    QColor window, header_face, header_highlight, header_shadow, header_text, text;
  };

  void sync_scroll_bars();
  void after_event();
  void update_cursor();
  void paint_rows(QPainter& painter, const QRect& clip);
  void paint_row(QPainter& painter, const QRect& row_rect, int row, const QRect& clip);
  void paint_group_row(QPainter& painter, const QRect& row_rect, int row);
  void paint_check(QPainter& painter, const QRect& cell, const QRect& text_rect,
                   const QString& text);
  void paint_header(QPainter& painter, const QRect& clip);
  void paint_selection(QPainter& painter, const QRect& rect, bool focused) const;

  model_adapter model_{*this};
  list_state state_{model_};
  palette_colours colours_;
  QFont list_font_;
  QFont bold_font_;
  QFont underlined_font_;
  QImage background_;
  QImage check_images_;
  bool syncing_bars_ = false;
  // The last paint left out rows no screen showed: a move of the window,
  // watched here, may bring them on a screen, where nothing else repaints them.
  bool painted_partly_ = false;
  QPointer<QWidget> watched_window_;
};

}  // namespace parvel
