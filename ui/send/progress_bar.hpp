#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "ui/theme/add_control_image.hpp"

namespace parvel {

// "99 %" for 0.999: the value in whole percent, truncated.
QString progress_percent_text(float value);

// The program's progress bar: a rounded glassy grey trough with an orange
// fill up to value x width and, when asked, the percent in the middle. The
// trough and fill pictures are rendered once per size (the fill on resize, at
// the screen's pixel ratio); a value change only copies them. The owner
// limits the value to 0..1.
class progress_bar : public QWidget, public add_control_image<progress_bar> {
 public:
  explicit progress_bar(QWidget* parent = nullptr);

  float value() const { return value_; }
  // Repaints at most 60 times a second however often the value changes, and
  // not at all when nothing visible changes; the last value is always shown.
  void set_value(float value);
  void set_show_text(bool show);

  // From add_control_image: the trough.
  void draw_image(QPainter& painter, QSize size);
  const QImage& fill_image() const { return fill_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void render_fill();
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
