#include "ui/addphotos/recipients/recipients_text.hpp"

#include <algorithm>

#include "ui/addphotos/addphotos_form.hpp"

namespace parvel {

namespace {

bool is_delimiter(QChar c) {
  return c == u',' || c == u';';
}

// Where one address ends and the next may begin.
bool is_separator(QChar c) {
  return is_delimiter(c) || c.isSpace();
}

bool is_line_break(QChar c) {
  return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == QChar(0x85) ||
         c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The field shows a line break as a blank, but the send splits at "," and
// ";" only: each run of white space that holds a line break becomes "; ",
// or a blank where a delimiter precedes it already.
QString separated_lines(const QString& offered) {
  QString result;
  result.reserve(offered.size());
  for (qsizetype i = 0; i < offered.size();) {
    if (!offered[i].isSpace()) {
      result += offered[i++];
      continue;
    }
    qsizetype end = i;
    bool breaks = false;
    for (; end < offered.size() && offered[end].isSpace(); ++end)
      breaks = breaks || is_line_break(offered[end]);
    if (!breaks)
      result += offered.mid(i, end - i);
    else if (!result.isEmpty() && is_delimiter(result.back()))
      result += u' ';
    else
      result += QStringLiteral("; ");
    i = end;
  }
  return result;
}

bool holds_an_address(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return !is_separator(c); });
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

std::optional<limited_insertion> limit_recipients_paste(const QString& text, text_span replaced,
                                                        const QString& offered, int limit) {
  const QString pasted = separated_lines(offered);
  const int room = insertion_room(text, replaced, limit);
  if (pasted.size() <= room)
    return limited_insertion{pasted, 0};
  // A separator in the field after the paste parts it from what follows
  // already; otherwise the paste must bring its own.
  const bool parted = replaced.end >= text.size() || is_separator(text[replaced.end]);
  for (int kept = room; kept > 0; --kept) {
    const bool whole = is_separator(pasted[kept - 1]) || (parted && is_separator(pasted[kept]));
    if (whole && holds_an_address(pasted.left(kept)))
      return limited_insertion{pasted.left(kept), static_cast<int>(pasted.size()) - kept};
  }
  return std::nullopt;
}

}  // namespace parvel
