#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "ui/theme/add_control_image.hpp"

namespace parvel {

class addphotos_rename_unit_item;
class rename_alg;

// One part of a renaming scheme (Prefix, Filename, Suffix): a titled box
// showing its current item. The items are children of the unit; their
// objects belong to the popup.
class addphotos_rename_unit : public QWidget, public add_control_image<addphotos_rename_unit> {
 public:
  explicit addphotos_rename_unit(QWidget* parent);

  void set_title(const QString& title);
  const QString& title() const { return title_; }

  // Appends and lays the unit out again.
  void add_item(addphotos_rename_unit_item* item);
  // The current item's strategy; none for an index past the items.
  std::shared_ptr<rename_alg> make_alg() const;
  // Shows the item at index (none for an index past the items), hides the
  // others and sizes the unit for its items.
  void set_current(unsigned index);
  unsigned current() const { return current_; }
  addphotos_rename_unit_item* current_item() const;

  // Measures, resizes and places the current item.
  void update_layout();
  QSize unit_size() const { return size_; }
  // The popup makes the units equally tall.
  void set_min_height(int height) { min_height_ = height; }

  void draw_image(QPainter& painter, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QSize title_size() const;

  QString title_;
  QSize size_;
  int min_height_ = 0;
  std::vector<addphotos_rename_unit_item*> items_;
  unsigned current_ = 0;
};

}  // namespace parvel
