#pragma once

#include <boost/signals2/connection.hpp>
#include <vector>

#include "ui/addphotos/flow_statusbar.hpp"

namespace parvel {

// The add-photos page's status bar: how many photos and how large, and the
// conversion, resize and renaming a send will apply, each field shown only
// while it has something to say. Follows the photo set and the option
// managers for as long as it exists. UI thread.
class addphotos_statusbar : public flow_statusbar {
 public:
  explicit addphotos_statusbar(QWidget* page);

  void update_selected();
  void update_convert();
  void update_resize();
  void update_rename();

  flow_statusbar_item& selected_field() const { return *selected_; }
  flow_statusbar_item& convert_field() const { return *convert_; }
  flow_statusbar_item& resize_field() const { return *resize_; }
  flow_statusbar_item& rename_field() const { return *rename_; }

 private:
  void show_text(flow_statusbar_item& field, const QString& text);

  flow_statusbar_item* selected_;
  flow_statusbar_item* convert_;
  flow_statusbar_item* resize_;
  flow_statusbar_item* rename_;
  // Scoped: a bar destroyed with its page hears nothing more.
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace parvel
