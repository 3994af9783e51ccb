#pragma once

#include <QRect>
#include <QSize>
#include <array>

namespace parvel {

// What the action panel's layout measures: its client rectangle, each
// link's text size and the size of "|" in the separators' font.
struct panel_alt_layout_input {
  QRect client;
  QSize add_files;
  QSize add_folder;
  QSize resize;
  QSize format;
  QSize rename;
  QSize separator_text;
};

// Add Photos | Add Folder at the left end, Resize | Format | Rename at the
// right end, each control centred vertically; the two groups may overlap on
// a narrow panel. Separators are five times as wide as "|".
struct panel_alt_layout {
  QRect add_files;
  QRect add_folder;
  QRect resize;
  QRect format;
  QRect rename;
  std::array<QRect, 3> separators;
};
panel_alt_layout layout_panel_alt(const panel_alt_layout_input& in);

// A drop-down's place: its left edge at the anchor's, one pixel below the
// anchor's bottom edge, at the given size (screen coordinates).
QRect popup_rect_under(const QRect& anchor, QSize size);

// The rename popup's left edge in its parent: moved left (never right) so
// that a twentieth of its width stays free at the parent's right edge.
int rename_popup_x(int x, int popup_width, int parent_right);

}  // namespace parvel
