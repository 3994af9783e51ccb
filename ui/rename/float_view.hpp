#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>
#include <boost/signals2/signal.hpp>

namespace parvel {

// A bordered child view floating over its parent's other children. While it
// is shown, a mouse press anywhere outside it (its own drop-down lists count
// as inside) is taken from its target, the view saves (before_hide), hides
// and reports signal_hidden(true); the owner releases it from a posted call.
// The focus it takes (take_focus) goes back, on hiding, to the control that
// had it when the view was made, with that control's selection as it was.
class float_view : public QWidget {
 public:
  boost::signals2::signal<void(bool)> signal_hidden;

  // The size the derived view computed; the owner places it with it.
  QSize preferred_size() const { return preferred_size_; }

 protected:
  explicit float_view(QWidget* parent);
  ~float_view() override;

  // Saves the view's values; runs just before it hides itself.
  virtual void before_hide() {}
  void hide_view();
  void set_preferred_size(QSize size) { preferred_size_ = size; }
  // Gives one of the view's controls the focus.
  static void take_focus(QWidget& control);

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool contains_object(const QObject* object) const;
  void stop_filtering();
  void give_focus_back();

  QSize preferred_size_;
  QPointer<QWidget> focus_before_;
  bool filtering_ = false;
};

}  // namespace parvel
