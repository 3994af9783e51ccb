#pragma once

#include <QWidget>
#include <boost/signals2/signal.hpp>

class QPainter;

namespace parvel {

// What a flow popup is and how it keeps the clicks outside it from the
// widgets beneath.
enum class flow_popup_kind {
  // A Qt popup window: takes the keyboard while shown; the closing press is
  // not replayed to what lies under it (format and size lists).
  option,
  // A child of the owner drawn over its siblings, never the focus, so that
  // typing goes on in the owner's field (contact completion): no window of
  // its own, which a Wayland compositor would place where it likes and give
  // the keyboard. An application event filter consumes the first press
  // outside it.
  typed_past,
};

// Paints a window's one-pixel border on its outermost device pixels, as many
// as a logical pixel covers whole (one at 1.25 and 1.5, two at 2).
void paint_window_border(QPainter& painter, const QWidget& window, const QColor& colour);

// The size of a popup at `popup` cut at the right and bottom edges of
// `bounds`, where nothing shows it; a popup wholly past an edge keeps at most
// the size of `bounds` there. The top left stays, so what the popup holds
// stays where it was.
QSize popup_size_within(const QRect& popup, const QRect& bounds);

// A bordered drop-down that never activates, hides at the first mouse press
// its derived class does not consume (inside or outside it), paints white
// and reports every hiding through signal_hidden(true). The owner creates it
// through add_control_dispose, places and shows it, and releases it from a
// call posted to its own window, never inside signal_hidden.
class basic_flow_popup : public QWidget {
 public:
  // Emitted with true after every hiding; false is left to the owners' own
  // deferred call.
  boost::signals2::signal<void(bool)> signal_hidden;

  // Hides and reports it; every hiding comes here.
  void hide_popup();

  // A child popup: moves and sizes it in the owner's coordinates, cut at
  // the owner's edges (a popup as tall as thousands of rows would cost its
  // whole height in memory and painting), over the owner's other children.
  void place(const QRect& rect);

 protected:
  explicit basic_flow_popup(flow_popup_kind kind, QWidget* owner = nullptr);
  ~basic_flow_popup() override;

  // Derived classes consume presses they handle; the rest hide the popup.
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool contains_widget(const QObject* object) const;

  const flow_popup_kind kind_;
  bool filtering_ = false;
};

}  // namespace parvel
