#include "ui/addphotos/recipients/recipients_text.hpp"

#include <algorithm>

#include "ui/addphotos/addphotos_form.hpp"

namespace parvel {

namespace {

bool is_delimiter(QChar c) {
  return c == u',' || c == u';';
}

// Where an insertion lies in `after`: the common start and end it leaves of
// `before`.
struct insertion {
  qsizetype prefix = 0;
  qsizetype suffix = 0;
  qsizetype size = 0;
};

insertion insertion_in(const QString& before, const QString& after) {
  const qsizetype shorter = std::min(before.size(), after.size());
  insertion found;
  while (found.prefix < shorter && before[found.prefix] == after[found.prefix])
    ++found.prefix;
  while (found.suffix < shorter - found.prefix &&
         before[before.size() - 1 - found.suffix] == after[after.size() - 1 - found.suffix])
    ++found.suffix;
  found.size = after.size() - found.prefix - found.suffix;
  return found;
}

limited_edit keep_of(const QString& after, const insertion& in, qsizetype kept) {
  return limited_edit{after.left(in.prefix) + after.mid(in.prefix, kept) + after.right(in.suffix),
                      static_cast<int>(in.prefix + kept), static_cast<int>(in.size - kept)};
}

bool over_limit(const QString& before, const QString& after, int limit) {
  return after.size() > limit && after.size() > before.size();
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
  if (!over_limit(before, after, limit))
    return limited_edit{after, cursor};
  const insertion in = insertion_in(before, after);
  const qsizetype room = limit - in.prefix - in.suffix;
  if (room <= 0)
    return std::nullopt;
  qsizetype kept = std::min(room, in.size);
  // A character of two UTF-16 units fits whole or not at all.
  if (kept > 0 && kept < in.size && after[in.prefix + kept - 1].isHighSurrogate())
    --kept;
  return keep_of(after, in, kept);
}

std::optional<limited_edit> limit_recipients_edit(const QString& before, const QString& after,
                                                  int cursor, int limit) {
  if (!over_limit(before, after, limit))
    return limited_edit{after, cursor};
  const insertion in = insertion_in(before, after);
  qsizetype kept = std::clamp<qsizetype>(limit - in.prefix - in.suffix, 0, in.size);
  // The cut stands where a separator follows it, the end of an address.
  const auto separator = [](QChar c) { return is_delimiter(c) || c.isSpace(); };
  while (kept > 0 && kept < in.size && !separator(after[in.prefix + kept]))
    --kept;
  if (kept == 0)
    return std::nullopt;
  return keep_of(after, in, kept);
}

}  // namespace parvel
