#include "ui/theme/program_palette.hpp"

#include <QApplication>

namespace parvel {

QPalette program_palette() {
  struct role_colours {
    QPalette::ColorRole role;
    QColor normal;
    QColor disabled;
  };
  const QColor black(0, 0, 0), white(255, 255, 255), face(0xef, 0xef, 0xef);
  const QColor greyed(0xbe, 0xbe, 0xbe);
  const role_colours roles[] = {
      {QPalette::WindowText, black, greyed},
      {QPalette::Button, face, face},
      {QPalette::Light, white, white},
      {QPalette::Midlight, QColor(0xca, 0xca, 0xca), QColor(0xca, 0xca, 0xca)},
      {QPalette::Dark, QColor(0x9f, 0x9f, 0x9f), greyed},
      {QPalette::Mid, QColor(0xb8, 0xb8, 0xb8), QColor(0xb8, 0xb8, 0xb8)},
      {QPalette::Text, black, greyed},
      {QPalette::BrightText, white, white},
      {QPalette::ButtonText, black, greyed},
      {QPalette::Base, white, face},
      {QPalette::Window, face, face},
      {QPalette::Shadow, QColor(0x76, 0x76, 0x76), QColor(0xb1, 0xb1, 0xb1)},
      {QPalette::Highlight, QColor(0x30, 0x8c, 0xc6), QColor(0x91, 0x91, 0x91)},
      {QPalette::HighlightedText, white, white},
      {QPalette::Link, QColor(0, 0, 255), QColor(0, 0, 255)},
      {QPalette::LinkVisited, QColor(255, 0, 255), QColor(255, 0, 255)},
      {QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7), QColor(0xf7, 0xf7, 0xf7)},
      {QPalette::NoRole, black, black},
      {QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc), QColor(0xff, 0xff, 0xdc)},
      {QPalette::ToolTipText, black, black},
      {QPalette::PlaceholderText, QColor(0, 0, 0, 128), QColor(0, 0, 0, 128)},
  };
  static_assert(std::size(roles) == QPalette::NColorRoles);
  QPalette palette;
  for (const role_colours& r : roles) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
      palette.setColor(group, r.role, r.normal);
    palette.setColor(QPalette::Disabled, r.role, r.disabled);
  }
  return palette;
}

void use_program_palette() {
  QApplication::setPalette(program_palette());
}

}  // namespace parvel
