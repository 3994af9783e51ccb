#pragma once

#include <QString>
#include <optional>

namespace parvel {

// Characters start to end (exclusive) of a field's text.
struct text_span {
  int start = 0;
  int end = 0;
};

// What a user's insertion puts into a field limited to `limit` UTF-16 units:
// `offered` (what was pasted or dropped) over the characters `replaced` of
// `text` (the selection it replaces, empty at the caret). An insertion that
// does not grow the text, or leaves it within the limit, goes in whole; a
// longer one keeps its start, cut to what fits, never inside a surrogate
// pair; nothing fitting refuses it (nullopt). Text the program sets is never
// limited, so a field may hold more than the limit and still be shortened.
struct limited_insertion {
  QString text;  // what goes in over the replaced characters
  // Characters of the offered text that did not go in.
  int left_out = 0;
};
std::optional<limited_insertion> limit_insertion(const QString& text, text_span replaced,
                                                 const QString& offered, int limit);

// The room an insertion over `replaced` has in a field limited to `limit`
// units: what the rest of the text leaves, and at least what it replaces.
int insertion_room(const QString& text, text_span replaced, int limit);

}  // namespace parvel
