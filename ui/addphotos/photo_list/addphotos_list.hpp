#pragma once

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <vector>

#include "ui/addphotos/photo_list/photo_rows.hpp"
#include "ui/controls/basic_list.hpp"

namespace parvel {

// The photos chosen for the next send: Name (the path) and Size, one row per
// photo of the current photo set, multiple selection. It follows the set
// through the user's two photo signals, reading a snapshot of it once per
// change; a file's size is read when its row is first painted and kept.
// While the set is empty it shows a picture inviting a drop. Control id 125.
// User-interface thread only.
class addphotos_list : public basic_list<addphotos_list> {
  Q_OBJECT

 public:
  explicit addphotos_list(QWidget* parent = nullptr);
  ~addphotos_list() override;

  // Raised when the left button is released over the list while the set is
  // empty.
  boost::signals2::signal<void()> signal_empty_click;

  int row_count() const { return static_cast<int>(rows_.size()); }
  // Throws std::invalid_argument for a row outside the set.
  QString cell_text(int row, int column_id) const;

  // Removes the selected photos from the set: all of them by clearing it.
  void remove_selected();

  void on_photos_added();
  void on_photos_removed();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void take_rows();
  void update_empty_picture();
  const photo_row& row_at(int row) const;

  photo_rows rows_;
  std::vector<boost::signals2::scoped_connection> connections_;
};

// The empty list's picture at a size in logical pixels, drawn at the device
// pixel ratio: PNG 129 above the two invitation texts.
QImage render_empty_picture(QSize size, qreal device_pixel_ratio);

// The heights of the empty list's two text lines.
struct empty_picture_lines {
  int first = 0;
  int second = 0;
};

// Where the empty list's picture puts its art and the tops of its two text
// lines.
struct empty_picture_places {
  QPoint image;
  int first_line = 0;
  int second_line = 0;
};
empty_picture_places place_empty_picture(QSize size, QSize image, empty_picture_lines lines);

// The smallest list height that shows the art and both lines whole, with 4
// rows to spare under the second line, so its descenders keep off the edge.
int empty_picture_height(QSize image, empty_picture_lines lines);
// The same for the program's art and texts in the theme's font.
int empty_picture_height();

}  // namespace parvel
