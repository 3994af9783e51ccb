#include "ui/controls/basic_list_base.hpp"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace parvel {

namespace {

// 0x00BBGGRR, as the list's colours were chosen.
QColor from_colorref(unsigned value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

const QColor hot_link_text = from_colorref(0x00C80000);
const QColor active_frame_outer = from_colorref(0x009BADC4);
const QColor active_frame_inner = from_colorref(0x00D5DCE2);
const QColor active_gradient_top = from_colorref(0x00ECFDFF);
const QColor active_gradient_bottom = from_colorref(0x00A9D5FC);
const QColor inactive_frame_outer = from_colorref(0x00DCDCDC);
const QColor inactive_frame_inner = from_colorref(0x00F5F5F5);
const QColor inactive_gradient_top = from_colorref(0x00F0F0F0);
const QColor inactive_gradient_bottom = from_colorref(0x00EBEBEB);
const QColor group_band = from_colorref(0x00EEE7DD);
const QColor group_line = from_colorref(0x00C5C5C5);

Qt::Alignment column_alignment(int flags) {
  if (flags & list_align_centre)
    return Qt::AlignHCenter | Qt::AlignVCenter;
  if (flags & list_align_right)
    return Qt::AlignRight | Qt::AlignVCenter;
  return Qt::AlignLeft | Qt::AlignVCenter;
}

// The part of a widget that some screen shows, in its own coordinates: a
// window reaching past the screens (a popup as tall as thousands of rows) is
// painted only where it can be seen. A widget that no screen shows at all
// is drawn for a picture (grab) or before its window is placed: whole.
QRect shown_part(const QWidget& widget) {
  const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
  QRect shown;
  for (const QScreen* screen : QGuiApplication::screens())
    shown |= screen->geometry().translated(-origin) & widget.rect();
  return shown.isEmpty() ? widget.rect() : shown;
}

void draw_elided(QPainter& painter, const QRect& rect, Qt::Alignment alignment,
                 const QString& text) {
  if (text.isEmpty() || rect.width() <= 0)
    return;
  const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
  painter.drawText(rect, alignment | Qt::TextSingleLine, shown);
}

}  // namespace

basic_list_base::basic_list_base(QWidget* parent) : QAbstractScrollArea(parent) {
  const QPalette& system = palette();
  colours_ = {system.color(QPalette::Base),       system.color(QPalette::Button),
              system.color(QPalette::Light),      system.color(QPalette::Dark),
              system.color(QPalette::WindowText), system.color(QPalette::Text)};
  setFrameShape(QFrame::NoFrame);
  // No tab stop: a list takes the focus by click only.
  setFocusPolicy(Qt::ClickFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  state_.set_notify_sink([this](int code, int row, int column) { notify(row, column, code); });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (syncing_bars_)
      return;
    state_.set_vertical_position(value);
    viewport()->update();
  });
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (syncing_bars_)
      return;
    state_.set_horizontal_position(value);
    viewport()->update();
  });
  refresh_metrics();
}

basic_list_base::~basic_list_base() = default;

void basic_list_base::set_show_header(bool on) {
  state_.options.show_header = on;
  update_scroll_bars();
}

void basic_list_base::set_horizontal_scroll(bool on) {
  state_.options.horizontal_scroll = on;
  update_scroll_bars();
}

void basic_list_base::set_vertical_scroll(bool on) {
  state_.options.vertical_scroll = on;
  update_scroll_bars();
}

void basic_list_base::set_single_selection(bool on) {
  state_.options.single_selection = on;
  viewport()->update();
}

void basic_list_base::set_focus_cell_mode(bool on) {
  state_.options.focus_cell_mode = on;
  viewport()->update();
}

void basic_list_base::set_take_focus_on_click(bool on) {
  state_.options.take_focus_on_click = on;
  // A list that never takes the focus leaves it where the user types.
  setFocusPolicy(on ? Qt::ClickFocus : Qt::NoFocus);
}

void basic_list_base::set_border(bool on) {
  state_.options.border = on;
  setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
}

void basic_list_base::set_always_active_look(bool on) {
  state_.options.always_active_look = on;
  viewport()->update();
}

void basic_list_base::set_hot_tracking(bool on) {
  state_.options.hot_tracking = on;
  viewport()->update();
}

void basic_list_base::set_pointer_chooses(bool on) {
  state_.options.pointer_chooses = on;
  viewport()->update();
}

void basic_list_base::set_bold_list_font(bool on) {
  state_.options.bold_list_font = on;
  refresh_metrics();
  update_scroll_bars();
}

void basic_list_base::set_font_size_delta(int pixels) {
  state_.options.font_size_delta = pixels;
  refresh_metrics();
  update_scroll_bars();
}

void basic_list_base::set_row_margin(int pixels) {
  state_.options.row_margin = pixels;
  refresh_metrics();
  update_scroll_bars();
}

int basic_list_base::add_column(const QString& caption, int kind, int flags, bool fixed) {
  const int id = state_.add_column(caption, kind, flags, fixed);
  update_scroll_bars();
  return id;
}

void basic_list_base::set_column_width(int position, int width) {
  if (state_.set_column_width(position, width))
    update_scroll_bars();
}

int basic_list_base::auto_size_width(int position) const {
  if (position < 0 || position >= column_count() || state_.columns()[position].fixed)
    return -1;
  const QFontMetrics metrics(list_font_);
  int widest = metrics.horizontalAdvance(state_.columns()[position].caption);
  const int id = column_id(position);
  for (int row = 0, count = list_row_count(); row < count; ++row)
    widest = std::max(widest, metrics.horizontalAdvance(list_cell_text(row, id)));
  return widest + 20;
}

bool basic_list_base::refresh_metrics() {
  state_.options.wheel_lines = QApplication::wheelScrollLines();
  QFont font = this->font();
  if (state_.options.font_size_delta != 0) {
    const int pixels =
        font.pixelSize() > 0 ? font.pixelSize() : qRound(font.pointSizeF() * logicalDpiY() / 72.0);
    font.setPixelSize(std::max(1, pixels + state_.options.font_size_delta));
  }
  if (state_.options.bold_list_font)
    font.setWeight(QFont::Bold);
  list_font_ = font;
  bold_font_ = font;
  bold_font_.setWeight(QFont::Bold);
  underlined_font_ = font;
  underlined_font_.setUnderline(true);
  const int height = QFontMetrics(list_font_).height();
  if (height <= 0)
    return false;
  if (height + state_.options.row_margin != state_.row_height())
    state_.set_row_height(height + state_.options.row_margin);
  return true;
}

void basic_list_base::update_scroll_bars() {
  state_.set_client_size(viewport()->size());
  state_.trim_to_row_count();
  sync_scroll_bars();
  viewport()->update();
}

void basic_list_base::sync_scroll_bars() {
  syncing_bars_ = true;
  const auto sync = [](QScrollBar* bar, scroll_range range, int step, int value) {
    bar->setRange(0, range.maximum > 0 ? std::max(0, range.maximum - range.page) : 0);
    bar->setPageStep(std::max(1, range.page));
    bar->setSingleStep(std::max(1, step));
    bar->setValue(value);
  };
  setVerticalScrollBarPolicy(state_.options.vertical_scroll ? Qt::ScrollBarAsNeeded
                                                            : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(state_.options.horizontal_scroll ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff);
  sync(verticalScrollBar(), state_.vertical_range(), state_.row_height(),
       state_.vertical_position());
  sync(horizontalScrollBar(), state_.horizontal_range(), 5, state_.horizontal_position());
  syncing_bars_ = false;
}

bool basic_list_base::select(int row, int column, Qt::KeyboardModifiers modifiers) {
  const bool selected = state_.select(row, column, modifiers);
  if (selected)
    viewport()->update();
  return selected;
}

void basic_list_base::clear_selection() {
  state_.clear_selection();
  viewport()->update();
}

void basic_list_base::deselect_rows(const std::vector<int>& rows) {
  state_.deselect_rows(rows);
  update_scroll_bars();
}

void basic_list_base::invalidate_row(int row) {
  if (const auto rect = state_.row_rect(row))
    viewport()->update(*rect);
}

void basic_list_base::ensure_visible(int row, int column) {
  state_.ensure_visible(row, column);
  after_event();
}

void basic_list_base::set_background_image(const QImage& image) {
  background_ = image;
  viewport()->update();
}

void basic_list_base::set_check_images(const QImage& strip) {
  check_images_ = strip;
  viewport()->update();
}

void basic_list_base::notify(int row, int column, int code) {
  const basic_list_notification record{this, control_id(), code, row, column_id(column)};
  Q_EMIT signal_notify(record);
}

int basic_list_base::control_id() const {
  const QString name = objectName();
  return name.startsWith(QLatin1String("id_")) ? name.mid(3).toInt() : 0;
}

void basic_list_base::after_event() {
  sync_scroll_bars();
  viewport()->update();
}

void basic_list_base::update_cursor() {
  if (state_.is_link_cell(state_.hot()))
    viewport()->setCursor(Qt::PointingHandCursor);
  else
    viewport()->unsetCursor();
}

bool basic_list_base::viewportEvent(QEvent* event) {
  // The scroll area passes no leave events of its viewport on.
  if (event->type() == QEvent::Leave && state_.hot().row != -1) {
    state_.mouse_leave();
    update_cursor();
    viewport()->update();
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void basic_list_base::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  update_scroll_bars();
}

bool basic_list_base::focusNextPrevChild(bool next) {
  // Tab leaves the list for the window's next control, except in focus-cell
  // mode, where it moves the focus cell.
  return !state_.options.focus_cell_mode && QAbstractScrollArea::focusNextPrevChild(next);
}

void basic_list_base::keyPressEvent(QKeyEvent* event) {
  state_.trim_to_row_count();
  state_.key_down(event->key(), event->modifiers() & Qt::ControlModifier,
                  event->modifiers() & Qt::ShiftModifier);
  after_event();
  event->accept();
}

void basic_list_base::mousePressEvent(QMouseEvent* event) {
  state_.trim_to_row_count();
  const QPoint point = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    if (state_.options.take_focus_on_click)
      setFocus(Qt::MouseFocusReason);
    state_.left_press(point, event->modifiers());
  } else if (event->button() == Qt::RightButton) {
    if (state_.options.take_focus_on_click)
      setFocus(Qt::MouseFocusReason);
    state_.right_press(point, event->modifiers());
  }
  after_event();
}

void basic_list_base::mouseReleaseEvent(QMouseEvent* event) {
  state_.trim_to_row_count();
  const QPoint point = event->position().toPoint();
  if (event->button() == Qt::LeftButton)
    state_.left_release(point, event->modifiers());
  else if (event->button() == Qt::RightButton)
    state_.right_release(point);
  after_event();
}

void basic_list_base::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  state_.trim_to_row_count();
  const QPoint point = event->position().toPoint();
  // A double click first acts as a plain press.
  if (state_.options.take_focus_on_click)
    setFocus(Qt::MouseFocusReason);
  state_.left_press(point, Qt::NoModifier);
  if (const auto header = state_.header_hit_test(point);
      header && (header->flags & header_hit::divider)) {
    const int width = auto_size_width(header->column);
    if (width != -1)
      set_column_width(header->column, width);
  }
  state_.notify_at(point, notify_double_click);
  after_event();
}

void basic_list_base::mouseMoveEvent(QMouseEvent* event) {
  const list_cell hot = state_.hot();
  // Where the pointer chooses, a move within the hot cell may take the
  // selection back from the keys.
  const list_cell caret = state_.caret();
  state_.mouse_move(event->position().toPoint(), event->buttons() & Qt::LeftButton);
  if (state_.hot() == hot && state_.caret() == caret)
    return;
  update_cursor();
  viewport()->update();
}

void basic_list_base::wheelEvent(QWheelEvent* event) {
  state_.wheel(event->angleDelta().y(), event->position().toPoint());
  update_cursor();
  after_event();
  event->accept();
}

void basic_list_base::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void basic_list_base::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void basic_list_base::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    refresh_metrics();
    update_scroll_bars();
  }
}

void basic_list_base::list_draw_own_cell(QPainter&, const QRect&, int, int) {}

void basic_list_base::list_draw_own_text(QPainter&, const QRect&, int, int) {}

bool basic_list_base::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watched_window_ && event->type() == QEvent::Move && painted_partly_)
    viewport()->update();
  return QAbstractScrollArea::eventFilter(watched, event);
}

void basic_list_base::paintEvent(QPaintEvent* event) {
  const QRect shown = shown_part(*viewport());
  painted_partly_ = shown != viewport()->rect();
  if (painted_partly_ && watched_window_ != window()) {
    if (watched_window_)
      watched_window_->removeEventFilter(this);
    watched_window_ = window();
    watched_window_->installEventFilter(this);
  }
  const QRect clip = event->rect() & shown;
  if (clip.isEmpty())
    return;
  QPainter painter(viewport());
  painter.fillRect(clip, colours_.window);
  if (!background_.isNull())
    painter.drawImage(QPoint(0, 0), background_);
  paint_rows(painter, clip);
  paint_header(painter, clip);
}

void basic_list_base::paint_rows(QPainter& painter, const QRect& clip) {
  const int left = -state_.horizontal_position();
  if (clip.right() < left || clip.left() > left + state_.total_width())
    return;
  const int first = state_.first_visible_row();
  const int height = state_.row_height();
  const row_span rows = list_rows_in_band(first, list_row_count(), height, state_.band_height(),
                                          clip.top(), clip.bottom());
  for (int row = rows.first; row < rows.last; ++row) {
    const int top = state_.band_height() + (row - first) * height;
    paint_row(painter, QRect(left, top, state_.total_width(), height), row, clip);
  }
}

void basic_list_base::paint_row(QPainter& painter, const QRect& row_rect, int row,
                                const QRect& clip) {
  const bool focused = hasFocus() || state_.options.always_active_look;
  if (state_.is_highlighted(row) && list_cell_kind(row, 0) != list_kind_group)
    paint_selection(painter, row_rect, focused);
  const list_cell focus = state_.focus_cell();
  int x = row_rect.left();
  for (int position = 0; position < column_count(); ++position) {
    const int width = state_.columns()[position].width;
    const QRect cell(x, row_rect.top(), width, row_rect.height());
    x += width;
    if (cell.right() < clip.left() || width <= 1)
      continue;
    if (cell.left() > clip.right())
      break;
    const int id = column_id(position);
    const QString text = list_cell_text(row, id);
    const int kind = list_cell_kind(row, id);
    const int flags = column_flags(id);
    if (kind == list_kind_own_cell) {
      painter.save();
      list_draw_own_cell(painter, cell, row, id);
      painter.restore();
      continue;
    }
    if (kind == list_kind_group) {
      paint_group_row(painter, row_rect, row);
      return;
    }
    if (state_.options.focus_cell_mode && focus.row == row && focus.column == position && focused) {
      if (state_.options.always_active_look)
        painter.fillRect(cell, colours_.window);
      else
        paint_selection(painter, cell, true);
    }
    const QRect text_rect = cell.adjusted((position == 0 ? 4 : 3) + 4, 0, -5, 0);
    if (text_rect.width() <= 0)
      continue;
    painter.setFont(list_font_);
    painter.setPen(colours_.text);
    const Qt::Alignment alignment = column_alignment(flags);
    switch (kind) {
      case list_kind_blank:
      case list_kind_blank_image:
        break;
      case list_kind_check:
        paint_check(painter, cell, text_rect, text);
        break;
      case list_kind_link:
      case list_kind_underline: {
        const bool hot = state_.hot() == list_cell{row, position};
        if (hot && kind == list_kind_link)
          painter.setPen(hot_link_text);
        if (hot && !(flags & list_inert))
          painter.setFont(underlined_font_);
        draw_elided(painter, text_rect, alignment, text);
        break;
      }
      case list_kind_own_text:
        painter.save();
        list_draw_own_text(painter, text_rect, row, id);
        painter.restore();
        break;
      default:
        draw_elided(painter, text_rect, alignment, text);
        break;
    }
  }
}

void basic_list_base::paint_group_row(QPainter& painter, const QRect& row_rect, int row) {
  const QRect band = row_rect.adjusted(1, 0, -1, 0);
  painter.fillRect(band, group_band);
  painter.setFont(bold_font_);
  painter.setPen(Qt::black);
  draw_elided(painter, band.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
              list_cell_text(row, -1));
  painter.setPen(group_line);
  painter.drawLine(band.bottomLeft(), band.bottomRight());
}

void basic_list_base::paint_check(QPainter& painter, const QRect& cell, const QRect& text_rect,
                                  const QString& text) {
  const int side = check_images_.height();
  if (side <= 0)
    return;
  const int left = (text_rect.left() + text_rect.right() + 1) / 2 - side / 2 - 1;
  const int top = (cell.top() + cell.bottom() + 1) / 2 - side / 2;
  const int width = std::min(side, cell.right() + 1 - left);
  const int height = std::min(side, cell.bottom() + 1 - top);
  if (width <= 0 || height <= 0)
    return;
  const int state = text == QLatin1String("true") ? 1 : 0;
  painter.drawImage(QRect(left, top, width, height), check_images_,
                    QRect(state * side, 0, width, height));
}

void basic_list_base::paint_header(QPainter& painter, const QRect& clip) {
  const int height = state_.header_height();
  if (!state_.options.show_header || clip.top() > height)
    return;
  const int shift = state_.horizontal_position();
  const QRect band(0, 0, viewport()->width(), height);
  painter.fillRect(band, colours_.header_face);
  painter.setFont(list_font_);
  int left = -shift;
  for (int position = 0; position < column_count(); ++position) {
    const basic_list_column& column = state_.columns()[position];
    const int right = left + column.width;
    if (left > clip.right())
      break;
    if (right >= clip.left()) {
      painter.setPen(colours_.header_shadow);
      painter.drawLine(right - 1, 4, right - 1, height - 4);
      painter.setPen(colours_.header_highlight);
      painter.drawLine(right, 4, right, height - 4);
      const QRect caption =
          QRect(left, 1, column.width, height).adjusted((position == 0 ? 4 : 3) + 4, 0, -5, 0);
      painter.setPen(colours_.header_text);
      draw_elided(painter, caption, column_alignment(column.flags), column.caption);
    }
    left = right;
  }
  if (state_.total_width() > 0) {
    const QRect frame = band.translated(-shift, 0);
    painter.setPen(colours_.header_highlight);
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(colours_.header_shadow);
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());
  }
}

void basic_list_base::paint_selection(QPainter& painter, const QRect& rect, bool focused) const {
  painter.save();
  painter.setBrush(colours_.window);
  painter.setPen(focused ? active_frame_outer : inactive_frame_outer);
  painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
  painter.setPen(focused ? active_frame_inner : inactive_frame_inner);
  painter.drawRoundedRect(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5), 1, 1);
  const QRect fill = rect.adjusted(2, 2, -2, -2);
  QLinearGradient gradient(fill.topLeft(), fill.bottomLeft());
  gradient.setColorAt(0, focused ? active_gradient_top : inactive_gradient_top);
  gradient.setColorAt(1, focused ? active_gradient_bottom : inactive_gradient_bottom);
  painter.fillRect(fill, gradient);
  painter.restore();
}

}  // namespace parvel
