#include "ui/controls/plain_text_edit.hpp"

#include <QMimeData>

namespace parvel {

plain_text_edit::plain_text_edit(QWidget* parent) : QPlainTextEdit(parent) {}

bool plain_text_edit::canInsertFromMimeData(const QMimeData* source) const {
  return source && source->hasText();
}

void plain_text_edit::insertFromMimeData(const QMimeData* source) {
  if (!canInsertFromMimeData(source))
    return;
  const QString text = source->text();
  if (!text.isEmpty())
    insertPlainText(text);
}

}  // namespace parvel
