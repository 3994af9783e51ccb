#pragma once

#include <QPointer>
#include <QString>
#include <QValidator>

class QLabel;
class QLineEdit;

namespace parvel {

// The To field's length limit as the user meets it: typing and pasting stop
// at the limit, a paste at the end of its last whole address, with a note
// under the field, until the next edit or until the focus leaves, that not
// all of it went in. Text the program sets (a normalised recipient list) is
// taken whole: QLineEdit's own maximum length would cut the program's text
// too and lose recipients. UI thread only.
class recipients_typing_limit : public QValidator {
 public:
  recipients_typing_limit(QLineEdit& edit, int limit);

  State validate(QString& input, int& position) const override;

  // The program's changes, never limited.
  void set_text(const QString& text);
  void replace_selection(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows or hides the note under the field; validation is const to Qt.
  void show_cut_note(bool shown) const;

  QLineEdit& edit_;
  mutable QPointer<QLabel> cut_note_;
  // What the last cut paste left, which Qt validates once more.
  mutable QString cut_text_;
  const int limit_;
  // The text before the edit being validated.
  QString before_;
  bool program_change_ = false;
};

}  // namespace parvel
