#pragma once

class QWidget;

namespace parvel {

// Whether the X server holds the top-level window unmapped while Qt still
// takes it for shown: a window manager's iconify whose events Qt has not
// processed yet. false off X11, for a window never created or one Qt knows
// is hidden or minimised. Asks the server: a round trip.
bool iconified_unseen(const QWidget& window);

// Maps the window, the way back from the iconic state a window manager
// grants, for a window whose iconify Qt has not seen (Qt would map nothing).
void map_on_x11(const QWidget& window);

}  // namespace parvel
