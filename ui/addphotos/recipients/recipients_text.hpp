#pragma once

#include <QString>
#include <optional>

#include "ui/controls/limited_insertion.hpp"

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

// A paste (or drop) into the To field, limited to `limit` characters: its
// line breaks become the field's separator "; ", so that the field sends the
// recipients it shows, and a paste cut by the limit keeps only its whole
// addresses that fit, each with the separator that parts it from what
// follows; nothing fitting refuses it (nullopt). Otherwise as
// limit_insertion.
std::optional<limited_insertion> limit_recipients_paste(const QString& text, text_span replaced,
                                                        const QString& offered, int limit);

}  // namespace parvel
