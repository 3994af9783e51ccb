#pragma once

#include <QLabel>

namespace parvel {

// A text link of the action panel and the update page: pure blue, plain
// text, the pointing hand. A press and a release of the left button on it is
// a click, as the hyperlink control's capture has it: a release without its
// press is none. Underlined when asked, in whatever font the owner gives it
// later.
class link_label : public QLabel {
  Q_OBJECT

 public:
  link_label(const QString& text, QWidget* parent);

  void set_underlined(bool underlined);

 Q_SIGNALS:
  void clicked();

 protected:
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void apply_underline();

  bool underlined_ = false;
  bool pressed_ = false;
};

}  // namespace parvel
