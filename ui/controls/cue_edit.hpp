#pragma once

#include <QLineEdit>
#include <QString>

namespace parvel {

// A single-line edit that paints a grey hint, the cue text, over the empty
// field while it does not have the keyboard focus. Qt's own placeholder stays
// while the field is focused, so the cue is drawn here instead.
class cue_edit : public QLineEdit {
  Q_OBJECT

 public:
  explicit cue_edit(QWidget* parent = nullptr);

  const QString& cue_text() const { return cue_text_; }
  void set_cue_text(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QString cue_text_;
};

}  // namespace parvel
