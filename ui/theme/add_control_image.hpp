#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"

namespace parvel {

// Mix-in of a window T that shows a composed picture: the picture is
// rendered into an image once per size or content change, and painting only
// copies it. T derives from QWidget and this, defines
//   void draw_image(QPainter& painter, QSize size);
// (the painter set to the drawing quality, the image transparent), calls
// refresh_image() when its content changes and paint_image() from
// paintEvent.
template <class T>
class add_control_image {
 public:
  // The current picture: null before the first render or at an empty size.
  const QImage& image() const { return image_; }

 protected:
  // Content changed: render again at the window's size and repaint.
  void refresh_image() {
    stale_ = true;
    window().update();
  }

  // From T::paintEvent: copies the picture, first rendering it when the
  // content or the window's size changed since the last render.
  void paint_image() {
    QWidget& w = window();
    const qreal ratio = w.devicePixelRatioF();
    const QSize pixels = device_size(w.size(), ratio);
    if (stale_ || image_.size() != pixels)
      render(pixels, ratio);
    if (image_.isNull())
      return;
    QPainter painter(&w);
    painter.drawImage(QPoint(0, 0), image_);
  }

 private:
  QWidget& window() { return static_cast<T&>(*this); }

  void render(QSize pixels, qreal ratio) {
    stale_ = false;
    if (pixels.isEmpty()) {
      image_ = QImage();
      return;
    }
    image_ = make_device_image(window().size(), ratio);
    QPainter painter(&image_);
    set_high_quality(painter);
    static_cast<T&>(*this).draw_image(painter, window().size());
  }

  QImage image_;
  bool stale_ = true;
};

}  // namespace parvel
