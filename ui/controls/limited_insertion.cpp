#include "ui/controls/limited_insertion.hpp"

#include <algorithm>

namespace parvel {

int insertion_room(const QString& text, text_span replaced, int limit) {
  const int replaced_size = replaced.end - replaced.start;
  const int rest = static_cast<int>(text.size()) - replaced_size;
  return std::max(limit - rest, replaced_size);
}

std::optional<limited_insertion> limit_insertion(const QString& text, text_span replaced,
                                                 const QString& offered, int limit) {
  const int room = insertion_room(text, replaced, limit);
  if (offered.size() <= room)
    return limited_insertion{offered, 0};
  int kept = room;
  // A character of two UTF-16 units fits whole or not at all.
  if (kept > 0 && offered[kept - 1].isHighSurrogate())
    --kept;
  if (kept == 0)
    return std::nullopt;
  return limited_insertion{offered.left(kept), static_cast<int>(offered.size()) - kept};
}

}  // namespace parvel
