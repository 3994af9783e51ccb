#include "ui/update/link_text.hpp"

namespace parvel {

link_text_parts split_link_text(const QString& text) {
  const qsizetype open = text.indexOf(u'{');
  if (open < 0)
    return {};
  link_text_parts parts;
  parts.before = text.left(open);
  const qsizetype close = text.indexOf(u'}', open + 1);
  if (close < 0) {
    parts.after = text.mid(open + 1);
  } else {
    parts.label = text.mid(open + 1, close - open - 1);
    parts.after = text.mid(close + 1);
  }
  return parts;
}

QString escape_ampersands(QString text) {
  return text.replace(u'&', QStringLiteral("&&"));
}

}  // namespace parvel
