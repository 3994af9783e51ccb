#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "core/windows/async_window_update.hpp"
#include "ui/addphotos/recipients/recipients_text.hpp"
#include "ui/controls/popup_holder.hpp"

class QLineEdit;

namespace parvel {

class addphotos_contact_popup;
class recipients_typing_limit;

// Completion of the To field from the saved contacts: while the user types,
// the contacts holding the recipient under the caret show in a popup just
// under the field, chosen from by a click or by Up, Down and Enter, hidden
// again by Escape, when the field is disabled or hidden (a page covers it)
// or the focus leaves it for another control or window; a chosen
// contact replaces that recipient and the field is tidied to "a; b; " with
// the caret at the end. The field's maximum length becomes a limit on
// typing and pasting only. Owned by the page that owns the field; the popup
// is a child of the field's parent, cut at its edges. UI thread only.
class recipients_completion : public QObject, public core::windows_async_window_update {
 public:
  explicit recipients_completion(QLineEdit& to_edit);
  ~recipients_completion() override;

  // The shown popup, or none.
  addphotos_contact_popup* popup() const { return popup_.get(); }

  recipient_range current_recipient_range() const;
  QString current_recipient() const;
  void normalize_recipients();
  void move_caret_to_end();

  // Slots.
  void on_recipients_changed();
  void on_contact_selected(const std::string& contact);

  // Puts the popup under the field, as wide as the field, at its preferred
  // height, over the field's siblings, without taking the focus; the page's
  // layout calls it too.
  void place_popup();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void hide_shown_popup();

  QLineEdit& edit_;
  recipients_typing_limit* limit_;
  popup_holder<addphotos_contact_popup> popup_{*this, popup_release::at_hiding};
};

}  // namespace parvel
