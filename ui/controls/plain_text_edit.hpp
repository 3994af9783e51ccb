#pragma once

#include <QPlainTextEdit>

namespace parvel {

// A multi-line edit that takes only the text of what is pasted, middle-clicked
// or dropped into it, inserted as plain text, and nothing when there is none.
// Qt 6.4's own insertion reads the first of the offered formats without
// looking whether there is one: an X clipboard whose owner is gone (nothing
// copied yet in the session, or the copying program has quit) offers none,
// and Ctrl+V would crash the program.
// With a maximum length, what the user inserts stops there (limit_insertion):
// a paste or drop keeps the start of its text that fits, over the selection
// it replaces; typing and an input method's text, which end at the caret,
// lose what passes the limit before the caret. Text the program sets is
// never limited.
class plain_text_edit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit plain_text_edit(QWidget* parent = nullptr);

  // In UTF-16 units; 0, the default, limits nothing.
  void set_max_length(int length);

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void on_text_changed();

  int max_length_ = 0;
  // The length the last change left.
  int length_before_ = 0;
};

}  // namespace parvel
