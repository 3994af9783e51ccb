#include "ui/addphotos/recipients/recipients_completion.hpp"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "engine/user/user.hpp"
#include "ui/addphotos/addphotos_panel_alt_layout.hpp"
#include "ui/addphotos/recipients/addphotos_contact_list.hpp"
#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"
#include "ui/addphotos/recipients/recipients_typing_limit.hpp"

namespace parvel {

namespace {

// QLineEdit's default maximum length: no limit of ours.
constexpr int unlimited_length = 32767;

}  // namespace

recipients_completion::recipients_completion(QLineEdit& to_edit)
    : QObject(&to_edit), edit_(to_edit) {
  const int limit = edit_.maxLength();
  edit_.setMaxLength(unlimited_length);
  limit_ = new recipients_typing_limit(edit_, limit);
  edit_.setValidator(limit_);
  // Only the user's own edits offer contacts: text the program sets (the
  // form's reset, a normalised list) opens nothing.
  connect(&edit_, &QLineEdit::textEdited, this, [this] { on_recipients_changed(); });
  edit_.installEventFilter(this);
  if (QWidget* const parent = edit_.parentWidget())
    parent->installEventFilter(this);
}

recipients_completion::~recipients_completion() = default;

recipient_range recipients_completion::current_recipient_range() const {
  recipient_range selection{edit_.cursorPosition(), edit_.cursorPosition()};
  if (edit_.hasSelectedText()) {
    selection.start = edit_.selectionStart();
    selection.end = edit_.selectionEnd();
  }
  return find_recipient_range(edit_.text(), selection);
}

QString recipients_completion::current_recipient() const {
  return recipient_in(edit_.text(), current_recipient_range());
}

void recipients_completion::normalize_recipients() {
  limit_->set_text(normalized_recipients(edit_.text()));
}

void recipients_completion::move_caret_to_end() {
  edit_.end(false);
}

void recipients_completion::on_recipients_changed() {
  const std::string recipient = current_recipient().toStdString();
  if (!edit_.text().isEmpty() && !popup_ && user::instance()->has_contact(recipient))
    popup_.open(edit_.parentWidget())
        .signal_contact_selected.connect(
            [this](const std::string& contact) { on_contact_selected(contact); });
  if (!popup_)
    return;
  popup_->list().set_filter(recipient);
  popup_->calc_size();
  if (popup_->preferred_size().height() > 0)
    place_popup();
  else
    popup_->hide_popup();
}

void recipients_completion::place_popup() {
  if (!popup_)
    return;
  // The popup is a child of the field's parent.
  const QRect field = edit_.geometry();
  popup_->place(popup_rect_under(field, QSize(field.width(), popup_->preferred_size().height())));
  popup_->show();
}

void recipients_completion::on_contact_selected(const std::string& contact) {
  const recipient_range range = current_recipient_range();
  if (range.start != -1 && range.end != -1)
    edit_.setSelection(range.start, range.end - range.start);
  limit_->replace_selection(QString::fromStdString(contact));
  normalize_recipients();
  move_caret_to_end();
}

void recipients_completion::hide_shown_popup() {
  if (popup_.is_shown())
    popup_->hide_popup();
}

bool recipients_completion::eventFilter(QObject* watched, QEvent* event) {
  if (!popup_.is_shown())
    return QObject::eventFilter(watched, event);
  if (watched != &edit_) {
    // The popup is cut where the field's parent ends.
    if (event->type() == QEvent::Resize)
      place_popup();
    return QObject::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::KeyPress: {
      // Escape, Up and Down are the popup's; Enter chooses the contact they
      // selected, else sends as in the other fields.
      const int key = static_cast<const QKeyEvent*>(event)->key();
      if (key == Qt::Key_Escape) {
        hide_shown_popup();
        return true;
      }
      if (key == Qt::Key_Up || key == Qt::Key_Down) {
        popup_->move_selection(key == Qt::Key_Up ? -1 : 1);
        return true;
      }
      if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return popup_->choose_selected();
      break;
    }
    case QEvent::Move:
    case QEvent::Resize:
      // The popup follows the field as the page lays it out.
      place_popup();
      break;
    case QEvent::EnabledChange:
    case QEvent::Hide:
      // A page covers (and disables) this one: its popup goes with it.
      if (!edit_.isEnabled() || !edit_.isVisible())
        hide_shown_popup();
      break;
    case QEvent::FocusOut:
      // Another control or another window took the focus: the popup would
      // cover the fields typed in next.
      hide_shown_popup();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace parvel
