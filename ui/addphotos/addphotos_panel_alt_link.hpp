#pragma once

#include <QLabel>
#include <boost/signals2/signal.hpp>

namespace parvel {

// A text link of the action panel: blue, no underline, the hand cursor; a
// press and release of the left button on it is a click. A release without
// its press (the press closed a popup) is none.
class addphotos_link : public QLabel {
 public:
  addphotos_link(const QString& text, QWidget* parent);

  boost::signals2::signal<void()> signal_clicked;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace parvel
