#pragma once

#include <QString>
#include <QWidget>

#include "ui/theme/add_control_image.hpp"

namespace parvel {

// One field of a flow status bar: its text over the bar's background with a
// separator on its right. A field without text is 0 x 0.
class flow_statusbar_item : public QWidget, public add_control_image<flow_statusbar_item> {
 public:
  explicit flow_statusbar_item(QWidget* parent);

  // Sets the text and sizes the field for it.
  void set_text(const QString& text);
  const QString& text() const { return text_; }
  QSize text_size() const { return text_size_; }

  void draw_image(QPainter& painter, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void measure();

  QString text_;
  QSize text_size_;
};

}  // namespace parvel
