#pragma once

#include <QMargins>
#include <QSize>

namespace parvel {

// The main window's minimum client size: the fixed minimum of its outer
// frame less the decorations around the client area, grown to the page's
// own minimum (the add-photos page's in the theme's fonts; an invalid size
// asks for nothing). So taller fonts grow the window's minimum and, through
// it, a default or saved size below it.
QSize frame_minimum_client_size(QSize frame_minimum, QMargins decorations, QSize page_minimum);

}  // namespace parvel
