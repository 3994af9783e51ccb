#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

namespace parvel {

// The To field's length limit as the user meets it: typing and pasting stop
// at the limit, while text the program sets (a normalised recipient list)
// is taken whole. QLineEdit's own maximum length would cut the program's
// text too and lose recipients. UI thread only.
class recipients_typing_limit : public QValidator {
 public:
  recipients_typing_limit(QLineEdit& edit, int limit);

  State validate(QString& input, int& position) const override;

  // The program's changes, never limited.
  void set_text(const QString& text);
  void replace_selection(const QString& text);

 private:
  QLineEdit& edit_;
  const int limit_;
  // The text before the edit being validated.
  QString before_;
  bool program_change_ = false;
};

}  // namespace parvel
