#pragma once

#include <QClipboard>
#include <QPointer>
#include <QString>
#include <QValidator>

class QLabel;
class QLineEdit;

namespace parvel {

// The To field's length limit as the user meets it: typing stops at the
// limit; a paste or a drop keeps its whole addresses that fit, with a note
// under the field, until the next edit or until the focus leaves, that not
// all of it went in. Every way text comes from the clipboard or a drop
// (Ctrl+V, Shift+Insert, the middle button, the context menu, a drop) is
// taken here, so that what goes in and where is known, not read back from
// the edited text. Text the program sets (a normalised recipient list) is
// taken whole: QLineEdit's own maximum length would cut the program's text
// too and lose recipients. UI thread only.
class recipients_typing_limit : public QValidator {
 public:
  recipients_typing_limit(QLineEdit& edit, int limit);

  State validate(QString& input, int& position) const override;

  // The program's changes, never limited.
  void set_text(const QString& text);
  void replace_selection(const QString& text);

  // Puts the offered text over the selection, or at the caret, as far as the
  // limit lets it.
  void paste(const QString& offered);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // True when the event was a paste or a drop, now done.
  bool took_insertion(QEvent* event);
  void paste_from(QClipboard::Mode mode);
  void show_context_menu(const QPoint& global);
  void show_cut_note(bool shown) const;

  QLineEdit& edit_;
  mutable QPointer<QLabel> cut_note_;
  const int limit_;
  // The text before the edit being validated.
  QString before_;
  // An edit whose insertion is already limited: the program's or a paste's.
  bool known_edit_ = false;
};

}  // namespace parvel
