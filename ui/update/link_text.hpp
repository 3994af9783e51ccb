#pragma once

#include <QString>

namespace parvel {

// A localized sentence with its link marked by braces: "{Click here} to go
// online". No "{": all three empty (no link line). No closing "}": no label,
// and the rest after "{" is plain text.
struct link_text_parts {
  QString before;
  QString label;
  QString after;

  bool operator==(const link_text_parts&) const = default;
};

link_text_parts split_link_text(const QString& text);

// Doubles every "&" so that a button shows it instead of taking it for an
// access key.
QString escape_ampersands(QString text);

}  // namespace parvel
