#include "ui/controls/plain_text_edit.hpp"

#include <QMimeData>
#include <QTextCursor>
#include <algorithm>

#include "ui/controls/limited_insertion.hpp"

namespace parvel {

plain_text_edit::plain_text_edit(QWidget* parent) : QPlainTextEdit(parent) {
  // Before any connection of the owner's: they see the text as limited.
  connect(this, &QPlainTextEdit::textChanged, this, [this] { on_text_changed(); });
}

void plain_text_edit::set_max_length(int length) {
  max_length_ = length;
  length_before_ = static_cast<int>(toPlainText().size());
}

bool plain_text_edit::canInsertFromMimeData(const QMimeData* source) const {
  return source && source->hasText();
}

void plain_text_edit::insertFromMimeData(const QMimeData* source) {
  if (!canInsertFromMimeData(source))
    return;
  QString text = source->text();
  if (text.isEmpty())
    return;
  if (max_length_ > 0) {
    const QTextCursor cursor = textCursor();
    const auto kept = limit_insertion(
        toPlainText(), {cursor.selectionStart(), cursor.selectionEnd()}, text, max_length_);
    if (!kept)
      return;
    text = kept->text;
  }
  insertPlainText(text);
}

void plain_text_edit::on_text_changed() {
  const QString text = toPlainText();
  const int length = static_cast<int>(text.size());
  const int excess = length - std::max(max_length_, length_before_);
  QTextCursor cursor = textCursor();
  // Typing and an input method's text end at the caret. Text the program
  // sets, with the caret at its start, is taken whole.
  if (max_length_ > 0 && excess > 0 && cursor.position() >= excess) {
    int start = cursor.position() - excess;
    // A character of two UTF-16 units goes whole.
    if (start > 0 && text[start].isLowSurrogate())
      --start;
    // What does not fit goes as an edit of its own, so that undo and the
    // scroll position survive; textChanged comes again, within the limit.
    cursor.setPosition(start, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    return;
  }
  length_before_ = length;
}

}  // namespace parvel
