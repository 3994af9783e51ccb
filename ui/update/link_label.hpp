#pragma once

#include <QLabel>

namespace parvel {

// A hyperlink: its label in pure blue, underlined, with a pointing hand;
// a left click on it raises activated().
class link_label : public QLabel {
  Q_OBJECT

 public:
  explicit link_label(const QString& text, QWidget* parent = nullptr);

 Q_SIGNALS:
  void activated();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace parvel
