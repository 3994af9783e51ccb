#pragma once

#include <QPlainTextEdit>

namespace parvel {

// A multi-line edit that takes only the text of what is pasted, middle-clicked
// or dropped into it, inserted as plain text, and nothing when there is none.
// Qt 6.4's own insertion reads the first of the offered formats without
// looking whether there is one: an X clipboard whose owner is gone (nothing
// copied yet in the session, or the copying program has quit) offers none,
// and Ctrl+V would crash the program.
class plain_text_edit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit plain_text_edit(QWidget* parent = nullptr);

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace parvel
