#pragma once

#include <QWidget>
#include <vector>

#include "ui/theme/add_control_image.hpp"

namespace parvel {

class flow_statusbar_item;

// A strip as wide as its parent whose fields sit left to right, each as wide
// as its text, over a light grey gradient; empty fields close up. Its height
// follows the tallest field; the parent places it and keeps its size.
class flow_statusbar : public QWidget, public add_control_image<flow_statusbar> {
 public:
  explicit flow_statusbar(QWidget* parent);
  ~flow_statusbar() override;

  // The bar does not own its fields.
  void add_item(flow_statusbar_item* item);
  // Sizes the bar and places its fields; runs when the parent's size or a
  // field's text changes.
  void layout_items();

  void draw_image(QPainter& painter, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void update_size();

  std::vector<flow_statusbar_item*> items_;
  int content_width_ = 0;
  int content_height_ = 0;
};

}  // namespace parvel
