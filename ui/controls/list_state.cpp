#include "ui/controls/list_state.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "ui/controls/basic_list_notification.hpp"

namespace parvel {

namespace {

constexpr int max_columns = 0x3FFFFFFE;
// The wheel delta of one notch.
constexpr int wheel_notch = 120;

bool is_modifier_key(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
         key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

}  // namespace

list_state::list_state(const list_model& model) : model_(model) {}

int list_state::add_column(const QString& caption, int kind, int flags, bool fixed) {
  if (column_count() >= max_columns)
    throw std::length_error("list<T> too long");
  if (flags & list_align_centre)
    flags &= ~(list_align_left | list_align_right);
  else if (flags & list_align_right)
    flags &= ~list_align_left;
  basic_list_column column;
  column.caption = caption;
  column.fixed = fixed;
  column.kind = kind;
  column.flags = flags;
  column.id = column_count();
  columns_.push_back(std::move(column));
  return columns_.back().id;
}

bool list_state::set_column_width(int position, int width) {
  if (position < 0 || position >= column_count() || columns_[position].fixed)
    return false;
  columns_[position].width = width;
  total_width_ = 0;
  for (const auto& column : columns_)
    total_width_ += column.width;
  set_horizontal_position(horizontal_);
  return true;
}

int list_state::column_id(int position) const {
  return position >= 0 && position < column_count() ? columns_[position].id : -1;
}

int list_state::column_kind(int id) const {
  for (const auto& column : columns_)
    if (column.id == id)
      return column.kind;
  return 0;
}

int list_state::column_flags(int id) const {
  for (const auto& column : columns_)
    if (column.id == id)
      return column.flags;
  return 0;
}

int list_state::column_left(int position) const {
  int left = -horizontal_;
  for (int i = 0; i < position && i < column_count(); ++i)
    left += columns_[i].width;
  return left;
}

void list_state::set_row_height(int height) {
  row_height_ = height;
  header_height_ = height;
}

void list_state::set_client_size(QSize size) {
  client_ = size;
  set_vertical_position(vertical_);
  set_horizontal_position(horizontal_);
}

row_span list_rows_in_band(int first_visible, int row_count, int row_height, int rows_top, int top,
                           int bottom) {
  top = std::max(top, rows_top);
  if (row_height <= 0 || first_visible < 0 || first_visible >= row_count || bottom < top)
    return {};
  // 64 bits: the band's rows counted from the first visible one may pass
  // the rows there are.
  const auto row_at = [&](int y) {
    return std::min<std::int64_t>(row_count,
                                  first_visible + (std::int64_t{y} - rows_top) / row_height);
  };
  return {static_cast<int>(row_at(top)),
          static_cast<int>(std::min<std::int64_t>(row_count, row_at(bottom) + 1))};
}

scroll_range list_vertical_range(int rows, int row_height, int page) {
  page = std::max(0, page);
  if (rows <= 0 || row_height <= 0)
    return {0, page};
  const int fitting = std::max(1, page / row_height);
  const std::int64_t last = static_cast<std::int64_t>(rows - std::min(rows, fitting)) * row_height;
  if (last <= 0)
    return {0, page};
  constexpr std::int64_t most = std::numeric_limits<int>::max();
  return {static_cast<int>(std::min(last + page, most)), page};
}

scroll_range list_state::vertical_range() const {
  return list_vertical_range(model_.row_count(), row_height_, client_.height() - band_height());
}

scroll_range list_state::horizontal_range() const {
  if (!options.horizontal_scroll)
    return {};
  scroll_range range{total_width_, client_.width()};
  if (range.maximum <= range.page)
    range.maximum = 0;
  return range;
}

void list_state::set_vertical_position(int position) {
  const scroll_range range = vertical_range();
  vertical_ = std::clamp(position, 0, std::max(0, range.maximum - range.page));
}

void list_state::set_horizontal_position(int position) {
  const scroll_range range = horizontal_range();
  horizontal_ = std::clamp(position, 0, std::max(0, range.maximum - range.page));
}

int list_state::first_visible_row() const {
  if (row_height_ <= 0)
    return 0;
  return static_cast<int>(static_cast<double>(vertical_) / row_height_ + 0.5);
}

int list_state::visible_row_count() const {
  if (row_height_ <= 0)
    return 0;
  return std::max(0, (client_.height() - band_height()) / row_height_);
}

std::optional<QRect> list_state::row_rect(int row) const {
  if (row_height_ <= 0)
    return std::nullopt;
  const int first = first_visible_row();
  const int fitting =
      std::max(1, (client_.height() - band_height() + row_height_ - 1) / row_height_);
  if (row < first || row >= model_.row_count() || row >= first + fitting)
    return std::nullopt;
  return QRect(0, band_height() + (row - first) * row_height_,
               std::min(client_.width(), total_width_), row_height_);
}

bool list_state::is_cell_visible(int row, int column) const {
  const int first = first_visible_row();
  if (row < first || row >= model_.row_count() || row >= first + visible_row_count())
    return false;
  if (!options.focus_cell_mode || column < 0 || column >= column_count())
    return true;
  const int left = column_left(column);
  return left >= 0 && left + columns_[column].width <= client_.width();
}

void list_state::ensure_visible(int row, int column) {
  if (is_cell_visible(row, column) || row_height_ <= 0)
    return;
  const int top = band_height() + (row - first_visible_row()) * row_height_;
  const int bottom = top + row_height_;
  if (top < band_height()) {
    if (row != -1)
      set_vertical_position(row * row_height_);
  } else if (bottom > client_.height()) {
    if (row_height_ <= client_.height() - band_height())
      set_vertical_position((row - visible_row_count() + 1) * row_height_);
    else
      set_vertical_position(row * row_height_);
  }
  if (options.focus_cell_mode && column >= 0 && column < column_count()) {
    const int left = column_left(column);
    const int width = columns_[column].width;
    int shift = 0;
    if (width > client_.width() || left < 0)
      shift = left;
    else if (left + width - client_.width() > 0)
      shift = left + width - client_.width();
    if (shift != 0)
      set_horizontal_position(horizontal_ + shift);
  }
}

void list_state::wheel(int delta, std::optional<QPoint> pointer) {
  // Touchpads and fine wheels send fractions of a notch: the part of a line
  // an event leaves over is carried to the next, so that small steps add up
  // to the lines their sum makes.
  const std::int64_t amount = wheel_carry_ + static_cast<std::int64_t>(delta) * options.wheel_lines;
  wheel_carry_ = static_cast<int>(amount % wheel_notch);
  // Bounded so that the product below stays within 64 bits.
  constexpr std::int64_t most = std::numeric_limits<int>::max();
  const std::int64_t lines = std::clamp<std::int64_t>(amount / wheel_notch, -most, most);
  const std::int64_t position = vertical_ - lines * row_height_;
  set_vertical_position(
      static_cast<int>(std::clamp<std::int64_t>(position, 0, std::numeric_limits<int>::max())));
  if (pointer)
    mouse_move(*pointer, pressed_);
}

std::optional<list_cell> list_state::hit_test(QPoint point) const {
  // Points above the rows (in the header band, or above a list without one)
  // hit nothing: integer division alone would round them into the first row.
  if (row_height_ <= 0 || point.y() < band_height())
    return std::nullopt;
  const int row = (point.y() - band_height()) / row_height_ + first_visible_row();
  if (row < 0 || row >= model_.row_count())
    return std::nullopt;
  int right = -horizontal_;
  for (int i = 0; i < column_count(); ++i) {
    right += columns_[i].width;
    // Both bounds strict: a point on a column boundary hits no cell.
    if (right - columns_[i].width < point.x() && point.x() < right)
      return list_cell{row, i};
  }
  return std::nullopt;
}

std::optional<header_hit> list_state::header_hit_test(QPoint point) const {
  if (!options.show_header || point.y() < 0 || point.y() > header_height_)
    return std::nullopt;
  int right = -horizontal_;
  for (int i = 0; i < column_count(); ++i) {
    const int width = columns_[i].width;
    right += width;
    if (right - 5 <= point.x() && point.x() <= right + 4) {
      if (point.x() < right || i >= column_count() - 2)
        return header_hit{i, header_hit::divider | header_hit::divider_left};
      int column = i;
      while (column + 1 < column_count() && columns_[column + 1].width == 0)
        ++column;
      return header_hit{column, header_hit::divider | header_hit::divider_zero_width};
    }
    if (right - width < point.x() && point.x() < right)
      return header_hit{i, 0};
  }
  return std::nullopt;
}

bool list_state::is_link_cell(list_cell cell) const {
  const int id = column_id(cell.column);
  return cell.row >= 0 && cell.row < model_.row_count() && id != -1 &&
         !(column_flags(id) & list_inert) && model_.cell_kind(cell.row, id) == list_kind_link;
}

bool list_state::select(int row, int column, Qt::KeyboardModifiers modifiers) {
  if (row < 0 || row >= model_.row_count() ||
      model_.cell_kind(row, column_id(column)) == list_kind_group)
    return false;
  const bool range = (modifiers & Qt::ShiftModifier) && !options.single_selection;
  const bool toggle = !range && (modifiers & Qt::ControlModifier);
  if (!toggle) {
    if (selection_.size() == 1 && selection_.contains(row)) {
      anchor_ = row;
      caret_ = {row, column};
      return true;
    }
    selection_.clear();
    if (range) {
      if (anchor_ == -1)
        anchor_ = row;
      for (int i = std::min(anchor_, row); i <= std::max(anchor_, row); ++i)
        selection_.insert(i);
    } else {
      anchor_ = row;
      selection_.insert(row);
    }
  } else {
    if (options.single_selection)
      selection_.clear();
    anchor_ = row;
    if (selection_.erase(row) != 0) {
      caret_ = {row, selection_.size() < 2 ? column : -1};
      return true;
    }
    selection_.insert(row);
  }
  caret_ = {row, selection_.size() > 1 ? -1 : column};
  notify(caret_.row, caret_.column, notify_selection_changed);
  return true;
}

void list_state::select_all() {
  selection_.clear();
  for (int row = 0; row < model_.row_count(); ++row)
    selection_.insert(row);
}

void list_state::deselect_rows(const std::vector<int>& rows) {
  for (int row : rows)
    selection_.erase(row);
}

bool list_state::is_highlighted(int row) const {
  return is_selected(row) || (options.hot_tracking && !options.pointer_chooses && hot_.row == row);
}

std::vector<int> list_state::selected_rows() const {
  const int count = model_.row_count();
  std::vector<int> rows;
  for (int row : selection_) {
    if (row >= count)
      break;
    rows.push_back(row);
  }
  return rows;
}

void list_state::trim_to_row_count() {
  const int count = model_.row_count();
  selection_.erase(selection_.lower_bound(count), selection_.end());
  if (anchor_ >= count)
    anchor_ = -1;
  if (caret_.row >= count)
    caret_ = {};
  if (hot_.row >= count)
    hot_ = {};
  set_vertical_position(vertical_);
}

list_cell list_state::focus_cell() const {
  int row = -1;
  if (caret_.row != -1 && selection_.contains(caret_.row))
    row = caret_.row;
  else if (!selection_.empty())
    row = *selection_.begin();
  // Outside focus-cell mode the focus column is always 1. In it, the caret's
  // column, so that Tab and the arrows can reach every column.
  int column = 1;
  if (options.focus_cell_mode && row != -1 && caret_.column >= 0 && caret_.column < column_count())
    column = caret_.column;
  return {row, column};
}

void list_state::move_caret(int row, int column) {
  caret_ = {row, column};
  ensure_visible(row, column);
}

void list_state::key_down(int key, bool ctrl, bool shift) {
  // A modifier pressed on its own would re-select from the caret and drop a
  // selection built with Ctrl before the Shift+click it leads to.
  if (is_modifier_key(key))
    return;
  const auto [row, column] = focus_cell();
  const int count = model_.row_count();
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (ctrl)
        return;
      if (options.focus_cell_mode) {
        if (shift || key == Qt::Key_Backtab)
          move_caret(row, std::max(0, column - 1));
        else
          move_caret(row, std::min(column_count() - 1, column + 1));
      }
      break;
    case Qt::Key_Space: {
      const int id = column_id(column);
      if (row >= 0 && row < count && !(column_flags(id) & list_inert) &&
          model_.cell_kind(row, id) == list_kind_check)
        notify(row, column, notify_check_toggled);
      break;
    }
    case Qt::Key_A:
      if (ctrl) {
        if (!options.single_selection)
          select_all();
        return;
      }
      break;
    case Qt::Key_PageUp:
      move_caret(std::max(0, row - visible_row_count() + 1), column);
      break;
    case Qt::Key_PageDown:
      move_caret(std::min(count - 1, row + visible_row_count() - 1), column);
      break;
    case Qt::Key_End:
      move_caret(count - 1, column);
      break;
    case Qt::Key_Home:
      move_caret(0, column);
      break;
    case Qt::Key_Up:
      move_caret(std::max(0, row - 1), column);
      break;
    case Qt::Key_Down:
      move_caret(std::min(count - 1, row + 1), column);
      break;
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (options.focus_cell_mode) {
        const int step = key == Qt::Key_Left ? -1 : 1;
        move_caret(row, std::clamp(column + step, 0, std::max(0, column_count() - 1)));
      } else {
        const int step = ctrl ? 50 : 5;
        set_horizontal_position(key == Qt::Key_Left
                                    ? std::max(0, horizontal_ - step)
                                    : std::min(client_.width(), horizontal_ + step));
      }
      break;
    case Qt::Key_Delete:
      notify(row, column, notify_delete_key);
      break;
    default:
      break;
  }
  if (!ctrl)
    select(caret_.row, caret_.column, shift ? Qt::ShiftModifier : Qt::NoModifier);
}

void list_state::left_press(QPoint point, Qt::KeyboardModifiers modifiers) {
  pressed_ = true;
  if (header_hit_test(point))
    return;
  const auto hit = hit_test(point);
  if (!hit) {
    anchor_ = -1;
    return;
  }
  // A plain press inside a multiple selection keeps it until the release.
  const bool plain = !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier));
  if (!(plain && is_selected(hit->row) && selection_.size() >= 2))
    select(hit->row, hit->column, modifiers);
  const int id = column_id(hit->column);
  if (hit->row >= model_.row_count() || (column_flags(id) & list_inert))
    return;
  const int kind = model_.cell_kind(hit->row, id);
  if (kind == list_kind_check)
    notify(hit->row, hit->column, notify_check_toggled);
  else if (kind == list_kind_link)
    notify(hit->row, hit->column, notify_link_clicked);
}

void list_state::left_release(QPoint point, Qt::KeyboardModifiers modifiers) {
  pressed_ = false;
  const auto hit = hit_test(point);
  if (hit && is_selected(hit->row) && selection_.size() > 1 &&
      !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
    select(hit->row, hit->column, modifiers);
  notify_at(point, notify_click);
}

void list_state::right_press(QPoint point, Qt::KeyboardModifiers modifiers) {
  const auto hit = hit_test(point);
  if (hit && !is_selected(hit->row))
    select(hit->row, hit->column, modifiers);
}

void list_state::right_release(QPoint point) {
  if (!hit_test(point)) {
    selection_.clear();
    caret_ = {};
    anchor_ = -1;
  }
  notify_at(point, notify_right_click);
}

void list_state::mouse_move(QPoint point, bool left_down) {
  if (!left_down)
    pressed_ = false;
  if (pressed_)
    return;
  const auto hit = hit_test(point);
  hot_ = hit ? *hit : list_cell{};
  if (hit && options.pointer_chooses)
    select(hit->row, hit->column, Qt::NoModifier);
}

void list_state::notify_at(QPoint point, int code) {
  const auto hit = hit_test(point);
  notify(hit ? hit->row : -1, hit ? hit->column : -1, code);
}

void list_state::notify(int row, int column, int code) {
  if (notify_)
    notify_(code, row, column);
  // The parent may have changed the model in answer.
  trim_to_row_count();
}

}  // namespace parvel
