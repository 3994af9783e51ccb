#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "ui/theme/control_image.hpp"

namespace parvel {

// "99 %" for 0.999: the value in whole percent, truncated.
QString progress_percent_text(float value);

// The program's progress bar: a rounded glassy grey trough with an orange
// fill up to value x width and, when asked, the percent in the middle. The
// trough and fill pictures are rendered once per size; a value change only
// copies them. The owner limits the value to 0..1.
class progress_bar : public QWidget, public add_control_image<progress_bar> {
 public:
  explicit progress_bar(QWidget* parent = nullptr);

  float value() const { return value_; }
  // Repaints at most 60 times a second however often the value changes, and
  // not at all when nothing visible changes; the last value is always shown.
  void set_value(float value);
  void set_show_text(bool show);

  // From add_control_image: the trough, and the fill beside it.
  void draw_image(QPainter& painter, QSize size);
  const QImage& fill_image() const { return fill_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // What a value shows: the fill's width and the percent.
  std::pair<int, QString> shown(float value) const;
  void repaint_soon();

  QImage fill_;
  float value_ = 0;
  bool show_text_ = false;
  QElapsedTimer since_paint_;
  QTimer repaint_timer_;
};

}  // namespace parvel
