#pragma once

#include <QWidget>
#include <boost/signals2/connection.hpp>

class QLabel;
class QLineEdit;

namespace parvel {

class cue_edit;
struct photo_resize_option;

// The custom size and JPEG quality fields of the add-photos page, each
// group shown only while it applies. Typed sizes go straight into the resize
// option manager; the quality is clamped to 100 while typed and stored only
// at the commit before a send. The groups follow both managers' signals.
// Its connections end with it. UI thread only.
class addphotos_edit_panel : public QWidget {
 public:
  explicit addphotos_edit_panel(QWidget* parent = nullptr);
  ~addphotos_edit_panel() override;

  void layout();
  void on_size_changed();
  void on_quality_changed();
  void on_resize_option_changed(const photo_resize_option& option);
  void on_commit_updates();

  cue_edit& width_edit() const { return *width_edit_; }
  cue_edit& height_edit() const { return *height_edit_; }
  QLineEdit& quality_edit() const { return *quality_edit_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* title_label_;
  cue_edit* width_edit_;
  cue_edit* height_edit_;
  QLabel* quality_label_;
  QLineEdit* quality_edit_;
  // Set while the user's typing changes the size, so the option it raises
  // does not empty the fields being typed in, even where the typing did not
  // come with the focus (text dropped on a field).
  bool typing_size_ = false;
  boost::signals2::scoped_connection resize_connection_;
  boost::signals2::scoped_connection convert_connection_;
  boost::signals2::scoped_connection commit_connection_;
};

}  // namespace parvel
