#include "tests/support/desktop_palette.hpp"

namespace test_support {

QPalette dark_desktop_palette() {
  // In the order of QPalette::ColorRole, as qt6ct's colour files list them.
  const char* const active[] = {"#ffffff", "#424245", "#979797",  "#5e5c5b", "#302f2e", "#4a4947",
                                "#ffffff", "#ffffff", "#ffffff",  "#3d3d3d", "#222020", "#e7e4e0",
                                "#12608a", "#f9f9f9", "#0986d3",  "#a70b06", "#5c5b5a", "#ffffff",
                                "#3f3f36", "#ffffff", "#80ffffff"};
  static_assert(std::size(active) == QPalette::NColorRoles);
  QPalette palette;
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto r = static_cast<QPalette::ColorRole>(role);
    const QColor colour = QColor::fromString(active[role]);
    palette.setColor(QPalette::Active, r, colour);
    palette.setColor(QPalette::Inactive, r, colour);
    const bool text = r == QPalette::WindowText || r == QPalette::Text ||
                      r == QPalette::ButtonText || r == QPalette::HighlightedText;
    palette.setColor(QPalette::Disabled, r, text ? QColor(0x80, 0x80, 0x80) : colour);
  }
  return palette;
}

}  // namespace test_support
