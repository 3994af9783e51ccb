#pragma once

#include <QRect>
#include <QWidget>

#include "ui/addphotos/addphotos_logo_panel_layout.hpp"
#include "ui/theme/add_control_image.hpp"

namespace parvel {

// The banner at the top of the add-photos page: our logo, which opens the
// maker's web site, the headline and the per-send size limit.
class addphotos_logo_panel : public QWidget, public add_control_image<addphotos_logo_panel> {
 public:
  explicit addphotos_logo_panel(QWidget* parent);

  // Where the logo lies, placed on every resize to a non-empty size; a
  // click inside opens the site.
  const QRect& link_rect() const { return places_.link; }

  void draw_image(QPainter& painter, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void open_web_site();

  QSize logo_size_;  // in logical pixels
  logo_panel_layout places_;
};

}  // namespace parvel
