#pragma once

#include <QWidget>
#include <boost/signals2/connection.hpp>
#include <memory>
#include <string>
#include <vector>

#include "core/windows/async_window_update.hpp"
#include "ui/addphotos/addphotos_form.hpp"
#include "ui/addphotos/addphotos_layout.hpp"
#include "ui/controls/popup_holder.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace parvel {

class addphotos_list;
class addphotos_rename_popup;
class cue_edit;
class photo_dialogs;
struct basic_list_notification;

// The program's first screen: the send form (To, From, Subject, Message),
// the photo list, the panels, the "Send copy to myself" checkbox and Send.
// It lays everything out from its size, enables Send only when a send is
// possible, copies the form into the user and the photo set at the
// controller's commit and starts a send. Photos come from the dialogs and
// from drops. Controls carry the ids "id_<n>" as object names.
// User-interface thread; the upload job's success is posted to it.
class addphotos_page : public QWidget, public core::windows_async_window_update {
  Q_OBJECT

 public:
  // The panels later placed by the layout; each is reparented to the page.
  enum class panel { logo, edit, action, status_bar };

  explicit addphotos_page(QWidget* parent = nullptr);
  ~addphotos_page() override;

  cue_edit& recipients_edit() const { return *to_edit_; }
  cue_edit& sender_edit() const { return *from_edit_; }
  addphotos_list& photo_list() const { return *list_; }
  QPushButton& send_button() const { return *send_; }

  // Puts a panel in its place; the action panel's height is its size hint's,
  // the status bar keeps its own size. Runs the layout.
  void set_panel(panel which, QWidget* widget);
  QWidget* panel_widget(panel which) const;

  // Replaces the file and folder dialogs (tests).
  void set_dialogs(std::unique_ptr<photo_dialogs> dialogs);

  // Places every control from the client size; nothing at an empty size.
  void layout();
  void update_send_enabled();
  addphotos_form form() const;

  // Slots.
  void on_add_files();
  void on_add_folder();
  void on_send();
  void on_commit_updates();
  void on_upload_succeeded();
  void on_sender_changed(const std::string& address);
  void on_message_changed();
  void on_list_notify(const basic_list_notification& record);
  // The action panel's "Rename" link: opens the rename popup under the link,
  // or closes the open one.
  void toggle_rename_popup();
  addphotos_rename_popup* rename_popup() const { return rename_popup_.get(); }

  // Hand full paths to the photo set in one call; nothing for an empty list.
  static void add_paths(const QStringList& paths);
  // Paths as the file system spells them, which need not be UTF-8.
  static void add_paths(const std::vector<std::string>& paths);

  // The smallest client size that shows everything whole in the theme's
  // fonts: the empty list's picture with both its lines. Its height grows with
  // taller fonts (a CJK fallback font); its width asks for nothing.
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  addphotos_layout_input measure() const;
  // Under the "Rename" link, kept a twentieth of its width inside the page.
  void place_rename_popup();
  // Tab runs through the form, the size panel's fields, the checkbox and
  // Send, in the order the controls stand on the page.
  void order_tab_chain();

  QLabel* to_label_;
  QLabel* subject_label_;
  QLabel* message_label_;
  QLabel* photos_label_;
  QLabel* from_label_;
  QLabel* counter_;
  cue_edit* to_edit_;
  cue_edit* from_edit_;
  QLineEdit* subject_edit_;
  QPlainTextEdit* message_edit_;
  addphotos_list* list_;
  QCheckBox* checkbox_;
  QPushButton* send_;
  QWidget* panels_[4] = {};
  std::unique_ptr<photo_dialogs> dialogs_;
  // A child of the page, so that it may reach past the action panel.
  popup_holder<addphotos_rename_popup> rename_popup_{*this, popup_release::posted};
  // Last member: disconnected first, before the controls go.
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace parvel
