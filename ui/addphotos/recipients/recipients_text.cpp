#include "ui/addphotos/recipients/recipients_text.hpp"

#include <algorithm>

#include "ui/addphotos/addphotos_form.hpp"

namespace parvel {

namespace {

bool is_delimiter(QChar c) {
  return c == u',' || c == u';';
}

}  // namespace

recipient_range find_recipient_range(const QString& text, recipient_range selection) {
  if (selection.start == -1 || selection.end == -1)
    return selection;
  const int length = static_cast<int>(text.size());
  int start = selection.start;
  if (start > 0 && start < length && is_delimiter(text[start]))
    --start;
  int from = std::min(start, length - 1);
  while (from >= 0 && !is_delimiter(text[from]))
    --from;
  start = from + 1;
  int end = std::clamp(selection.end, 0, length);
  while (end < length && !is_delimiter(text[end]))
    ++end;
  // A caret before a delimiter at the very start holds the empty recipient
  // there, not the delimiter.
  if (start > end)
    start = end;
  return {start, end};
}

QString recipient_in(const QString& text, recipient_range range) {
  if (range.start < 0 || range.end < range.start)
    return {};
  return text.mid(range.start, range.end - range.start).trimmed();
}

QString normalized_recipients(const QString& text) {
  QString result;
  for (const QString& recipient : split_recipients(text))
    result += recipient + QStringLiteral("; ");
  return result;
}

std::optional<limited_edit> limit_user_edit(const QString& before, const QString& after, int cursor,
                                            int limit) {
  if (after.size() <= limit || after.size() <= before.size())
    return limited_edit{after, cursor};
  const qsizetype shorter = std::min(before.size(), after.size());
  qsizetype prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix])
    ++prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  const qsizetype room = limit - prefix - suffix;
  if (room <= 0)
    return std::nullopt;
  const qsizetype inserted = after.size() - prefix - suffix;
  qsizetype kept = std::min(room, inserted);
  // A character of two UTF-16 units fits whole or not at all.
  if (kept > 0 && kept < inserted && after[prefix + kept - 1].isHighSurrogate())
    --kept;
  return limited_edit{after.left(prefix) + after.mid(prefix, kept) + after.right(suffix),
                      static_cast<int>(prefix + kept)};
}

}  // namespace parvel
