#pragma once

#include <QPalette>

namespace parvel {

// The colours of every window of the program (frame, pages, popups, edits,
// lists), whatever the desktop's scheme: the art is drawn for a light window,
// and the desktop's text colour on a background of ours may be unreadable.
// Every role of every group is set, so nothing of a desktop's palette shows
// through. The light palette of Qt's Fusion style, which the windows were
// drawn under.
QPalette program_palette();

// Makes it the application's palette; before the first widget, since lists
// keep the colours they were made with.
void use_program_palette();

}  // namespace parvel
