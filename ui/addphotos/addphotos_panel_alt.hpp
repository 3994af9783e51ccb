#pragma once

#include <QWidget>
#include <array>
#include <boost/signals2/signal.hpp>

#include "core/windows/async_window_update.hpp"
#include "ui/controls/popup_holder.hpp"

class QLabel;

namespace parvel {

class addphotos_convert_popup;
class addphotos_resize_popup;
class link_label;

// The strip of links on the add-photos page: "Add Photos" and "Add Folder"
// at its left end report their clicks; "Resize", "Format" and "Rename" at its
// right end open their drop-downs just under themselves. The panel owns the
// size and format popups, at most one of each, and releases each from a
// posted call after it hid. The rename popup belongs to the page, which
// connects signal_rename_clicked and places it with rename_link().
// UI thread only.
class addphotos_panel_alt : public QWidget, public core::windows_async_window_update {
 public:
  explicit addphotos_panel_alt(QWidget* parent = nullptr);
  ~addphotos_panel_alt() override;

  boost::signals2::signal<void()> signal_add_files;
  boost::signals2::signal<void()> signal_add_folder;
  boost::signals2::signal<void()> signal_rename_clicked;

  void toggle_convert_popup();
  void toggle_resize_popup();

  // Places the links, the separators and the open popups.
  void layout();

  addphotos_convert_popup* convert_popup() const { return convert_popup_.get(); }
  addphotos_resize_popup* resize_popup() const { return resize_popup_.get(); }
  const link_label& rename_link() const { return *link_rename_; }

  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  link_label* make_link(const char* text_id, int id);

  link_label* link_add_files_;
  link_label* link_add_folder_;
  link_label* link_resize_;
  link_label* link_format_;
  link_label* link_rename_;
  std::array<QLabel*, 3> separators_{};
  popup_holder<addphotos_resize_popup> resize_popup_{*this, popup_release::posted};
  popup_holder<addphotos_convert_popup> convert_popup_{*this, popup_release::posted};
};

}  // namespace parvel
