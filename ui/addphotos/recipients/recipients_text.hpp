#pragma once

#include <QString>
#include <optional>

namespace parvel {

// Character positions in the To field's text, end exclusive.
struct recipient_range {
  int start = 0;
  int end = 0;
  friend bool operator==(const recipient_range&, const recipient_range&) = default;
};

// The recipient under the selection (start, end): from one past the last ","
// or ";" before it to the first one after it. A caret just before a
// delimiter belongs to the recipient before it. A selection of -1 (none
// reported) comes back unchanged.
recipient_range find_recipient_range(const QString& text, recipient_range selection);

// The range's characters, trimmed at both ends.
QString recipient_in(const QString& text, recipient_range range);

// Every recipient of the field followed by "; ": "a; b; ".
QString normalized_recipients(const QString& text);

// A user's edit of a field limited to `limit` characters, as the field
// takes it: an edit that does not grow the text, or leaves it within the
// limit, stands; a longer insertion is cut to what fits, never inside a
// surrogate pair, the cursor at the cut; nothing fitting refuses the edit
// (nullopt). Text the program sets is never limited, so a field may hold
// more than the limit and still be shortened by the user.
struct limited_edit {
  QString text;
  int cursor = 0;
  // Characters of the insertion that did not go in.
  int left_out = 0;
};
std::optional<limited_edit> limit_user_edit(const QString& before, const QString& after, int cursor,
                                            int limit);

// The same for the To field, where a part of an address may be someone
// else's: an insertion cut by the limit keeps only the addresses that fit
// whole, up to the last separator ("," ";" or white space) before the cut,
// or nothing (nullopt).
std::optional<limited_edit> limit_recipients_edit(const QString& before, const QString& after,
                                                  int cursor, int limit);

}  // namespace parvel
