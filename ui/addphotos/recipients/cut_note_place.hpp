#pragma once

#include <QRect>
#include <QSize>
#include <vector>

namespace parvel {

// Where the note on a cut paste shows, in its window's coordinates: one
// pixel under the field, else right above it, wherever it stays inside the
// window and covers none of the controls; under the field when neither place
// is free, where it lets clicks through to what it covers.
QRect cut_note_place(const QRect& field, QSize note, const QRect& window,
                     const std::vector<QRect>& controls);

}  // namespace parvel
