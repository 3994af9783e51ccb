#include "ui/addphotos/recipients/recipients_typing_limit.hpp"

#include <QLineEdit>

#include "ui/addphotos/recipients/recipients_text.hpp"

namespace parvel {

recipients_typing_limit::recipients_typing_limit(QLineEdit& edit, int limit)
    : QValidator(&edit), edit_(edit), limit_(limit), before_(edit.text()) {
  connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

QValidator::State recipients_typing_limit::validate(QString& input, int& position) const {
  if (program_change_)
    return Acceptable;
  const auto edit = limit_user_edit(before_, input, position, limit_);
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
