#pragma once

#include <QLabel>

namespace parvel {

// A hyperlink: its label in pure blue, underlined in whatever font the
// owner gives it, with a pointing hand; a left click on it raises
// activated().
class link_label : public QLabel {
  Q_OBJECT

 public:
  explicit link_label(const QString& text, QWidget* parent = nullptr);

 Q_SIGNALS:
  void activated();

 protected:
  void changeEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void underline();
};

}  // namespace parvel
