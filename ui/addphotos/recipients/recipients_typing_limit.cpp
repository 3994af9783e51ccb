#include "ui/addphotos/recipients/recipients_typing_limit.hpp"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <vector>

#include "ui/addphotos/recipients/cut_note_place.hpp"
#include "ui/addphotos/recipients/recipients_text.hpp"

namespace parvel {

namespace {

bool has_selection_clipboard() {
  return QGuiApplication::clipboard()->supportsSelection();
}

}  // namespace

recipients_typing_limit::recipients_typing_limit(QLineEdit& edit, int limit)
    : QValidator(&edit), edit_(edit), limit_(limit), before_(edit.text()) {
  connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
  edit.installEventFilter(this);
}

bool recipients_typing_limit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &edit_ && took_insertion(event))
    return true;
  // Another control of the window took the focus; another window or a
  // context menu leaves the note be.
  if (event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      show_cut_note(false);
  }
  return QValidator::eventFilter(watched, event);
}

bool recipients_typing_limit::took_insertion(QEvent* event) {
  // The edit is asked nothing on other events: the focus leaves it also
  // while it is being destroyed.
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (!key->matches(QKeySequence::Paste))
        return false;
      // Ctrl+Shift+Insert pastes the selection where there is one, as in
      // QLineEdit.
      const bool selection = key->key() == Qt::Key_Insert &&
                             key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                             has_selection_clipboard();
      paste_from(selection ? QClipboard::Selection : QClipboard::Clipboard);
      return true;
    }
    case QEvent::MouseButtonRelease:
      // The press has put the caret under the mouse.
      if (static_cast<const QMouseEvent*>(event)->button() != Qt::MiddleButton ||
          !has_selection_clipboard() || edit_.isReadOnly())
        return false;
      edit_.deselect();
      paste_from(QClipboard::Selection);
      return true;
    case QEvent::ContextMenu:
      if (edit_.contextMenuPolicy() != Qt::DefaultContextMenu)
        return false;
      show_context_menu(static_cast<const QContextMenuEvent*>(event)->globalPos());
      return true;
    case QEvent::Drop: {
      // A drag within the field moves or copies its own text: typing's rule.
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->source() == &edit_ || edit_.isReadOnly() || !drop->mimeData()->hasText())
        return false;
      edit_.setCursorPosition(edit_.cursorPositionAt(drop->position().toPoint()));
      drop->acceptProposedAction();
      paste(drop->mimeData()->text());
      return true;
    }
    default:
      return false;
  }
}

void recipients_typing_limit::show_context_menu(const QPoint& global) {
  QMenu* menu = edit_.createStandardContextMenu();
  // Qt 6.4 tells its items apart by their texts only: "&Paste", a tab and
  // the shortcut. An item not found would meet typing's rule.
  const QString paste_text = QLineEdit::tr("&Paste");
  for (QAction* item : menu->actions()) {
    if (item->text() == paste_text || item->text().startsWith(paste_text + u'\t')) {
      item->disconnect(&edit_);
      connect(item, &QAction::triggered, this, [this] { paste_from(QClipboard::Clipboard); });
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(global);
}

void recipients_typing_limit::paste_from(QClipboard::Mode mode) {
  paste(QGuiApplication::clipboard()->text(mode));
}

void recipients_typing_limit::paste(const QString& offered) {
  if (edit_.isReadOnly())
    return;
  text_span replaced{edit_.cursorPosition(), edit_.cursorPosition()};
  if (edit_.hasSelectedText())
    replaced = {edit_.selectionStart(), edit_.selectionEnd()};
  // Nothing offered still removes the selection, as in QLineEdit.
  if (offered.isEmpty() && replaced.start == replaced.end)
    return;
  const auto kept = limit_recipients_paste(edit_.text(), replaced, offered, limit_);
  if (kept) {
    // An undo step of its own, as QLineEdit's paste is: a move of the caret
    // ends the typing before it (a replaced selection ends it anyway).
    if (replaced.start == replaced.end && !edit_.text().isEmpty()) {
      edit_.setCursorPosition(replaced.start == 0 ? 1 : 0);
      edit_.setCursorPosition(replaced.start);
    }
    replace_selection(kept->text);
  }
  show_cut_note(!kept || kept->left_out > 0);
}

// A child of the window rather than a tool tip, which the release of the
// paste's own key would hide at once. Where it must lie over other controls,
// clicks pass through it: a click on the From field reaches the field.
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
    cut_note_->setAttribute(Qt::WA_TransparentForMouseEvents);
    cut_note_->setFrameShape(QFrame::Box);
    cut_note_->setMargin(2);
    cut_note_->setAutoFillBackground(true);
    cut_note_->setBackgroundRole(QPalette::ToolTipBase);
    cut_note_->setForegroundRole(QPalette::ToolTipText);
  }
  // The field's neighbours: the controls of the page that holds it.
  std::vector<QRect> controls;
  if (const QWidget* page = edit_.parentWidget()) {
    for (const QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (control != &edit_ && control != cut_note_.data() && control->isVisible() &&
          !control->isWindow())
        controls.emplace_back(page->mapTo(window, control->pos()), control->size());
    }
  }
  cut_note_->setGeometry(cut_note_place(QRect(edit_.mapTo(window, QPoint(0, 0)), edit_.size()),
                                        cut_note_->sizeHint(), window->rect(), controls));
  cut_note_->raise();
  cut_note_->show();
}

QValidator::State recipients_typing_limit::validate(QString& input, int&) const {
  if (known_edit_)
    return Acceptable;
  // Any edit of the user's moves the note away.
  if (input != before_)
    show_cut_note(false);
  // Typing, an input method, a drag within the field: nothing past the limit.
  return input.size() > limit_ && input.size() > before_.size() ? Invalid : Acceptable;
}

void recipients_typing_limit::set_text(const QString& text) {
  known_edit_ = true;
  edit_.setText(text);
  known_edit_ = false;
}

void recipients_typing_limit::replace_selection(const QString& text) {
  known_edit_ = true;
  edit_.insert(text);
  known_edit_ = false;
}

}  // namespace parvel
