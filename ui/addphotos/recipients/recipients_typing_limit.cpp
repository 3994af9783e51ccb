#include "ui/addphotos/recipients/recipients_typing_limit.hpp"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/addphotos/recipients/recipients_text.hpp"

namespace parvel {

recipients_typing_limit::recipients_typing_limit(QLineEdit& edit, int limit)
    : QValidator(&edit), edit_(edit), limit_(limit), before_(edit.text()) {
  connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
  edit.installEventFilter(this);
}

bool recipients_typing_limit::eventFilter(QObject* watched, QEvent* event) {
  // Another control of the window took the focus. Another window (the
  // contact popup, which some platforms activate) leaves the note be.
  if (event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      show_cut_note(false);
  }
  return QValidator::eventFilter(watched, event);
}

// A child of the window rather than a tool tip, which the release of the
// paste's own key would hide at once.
void recipients_typing_limit::show_cut_note(bool shown) const {
  if (!shown) {
    if (cut_note_)
      cut_note_->hide();
    return;
  }
  QWidget* window = edit_.window();
  if (!cut_note_) {
    // Not in the localization table, which holds the texts of the original
    // program only, as the photo list's "Delete" is not.
    cut_note_ = new QLabel(
        QStringLiteral("The To field holds %1 characters: only the addresses that fit went in.")
            .arg(limit_),
        window);
    cut_note_->setObjectName(QStringLiteral("recipients_cut_note"));
    cut_note_->setFrameShape(QFrame::Box);
    cut_note_->setMargin(2);
    cut_note_->setAutoFillBackground(true);
    cut_note_->setBackgroundRole(QPalette::ToolTipBase);
    cut_note_->setForegroundRole(QPalette::ToolTipText);
  }
  cut_note_->setGeometry(
      QRect(edit_.mapTo(window, QPoint(0, edit_.height() + 1)), cut_note_->sizeHint()));
  cut_note_->raise();
  cut_note_->show();
}

QValidator::State recipients_typing_limit::validate(QString& input, int& position) const {
  if (program_change_)
    return Acceptable;
  const auto edit = limit_recipients_edit(before_, input, position, limit_);
  // Qt validates the text as it stands, and the text as cut, too: only an
  // edit of the user's moves the note.
  if (input != before_ && input != cut_text_) {
    const bool pasted = input.size() - before_.size() > 1;
    const bool cut = pasted && (!edit || edit->left_out > 0);
    cut_text_ = cut && edit ? edit->text : QString();
    show_cut_note(cut);
  }
  if (!edit)
    return Invalid;
  input = edit->text;
  position = edit->cursor;
  return Acceptable;
}

void recipients_typing_limit::set_text(const QString& text) {
  program_change_ = true;
  edit_.setText(text);
  program_change_ = false;
}

void recipients_typing_limit::replace_selection(const QString& text) {
  program_change_ = true;
  edit_.insert(text);
  program_change_ = false;
}

}  // namespace parvel
