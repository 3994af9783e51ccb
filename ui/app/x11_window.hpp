#pragma once

#include <cstdint>

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

// Asks the window manager to activate the window as an application does
// (_NET_ACTIVE_WINDOW), for a start at time (0: unknown). Its rules decide:
// it may bring the window to the current desktop, switch to the window's, or
// mark the window as wanting attention. Nothing off X11.
void request_activation_on_x11(const QWidget& window, std::uint32_t time);

// The X server's time now, through a connection of its own (a property
// changed, its notice awaited: a round trip); 0 without a server.
std::uint32_t x11_server_time();

}  // namespace parvel
