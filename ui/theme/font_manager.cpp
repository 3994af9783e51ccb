#include "ui/theme/font_manager.hpp"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QScreen>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace parvel::theme {

namespace {

enum class source { caption, message, status, menu };

struct font_recipe {
  source from;
  int size_change;
  bool bold;
  bool italic;
};

constexpr std::array<font_recipe, 11> recipes = {{
    {source::caption, 6, true, false},
    {source::caption, 3, true, false},
    {source::caption, 3, false, false},
    {source::caption, 2, true, false},
    {source::message, 0, false, false},
    {source::message, 1, false, false},
    {source::message, 0, false, false},
    {source::message, 0, false, false},
    {source::status, -1, false, true},
    {source::menu, 0, false, false},
    {source::menu, 2, true, false},
}};

const QFont& source_font(const system_fonts& fonts, source from) {
  switch (from) {
    case source::caption:
      return fonts.caption;
    case source::message:
      return fonts.message;
    case source::status:
      return fonts.status;
    case source::menu:
      break;
  }
  return fonts.menu;
}

qreal logical_dpi_of_screen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

}  // namespace

system_fonts system_fonts::current() {
  return {QFontDatabase::systemFont(QFontDatabase::TitleFont), QApplication::font(),
          QApplication::font("QStatusBar"), QApplication::font("QMenu")};
}

int signed_pixel_height(const QFont& font, qreal logical_dpi) {
  if (font.pixelSize() > 0)
    return -font.pixelSize();
  return -static_cast<int>(std::lround(font.pointSizeF() * logical_dpi / 72.0));
}

int changed_height(int height, int n) {
  return height > 0 ? height + n : height - n;
}

std::array<QFont, 11> make_theme_fonts(const system_fonts& sources, qreal logical_dpi) {
  std::array<QFont, 11> fonts;
  for (std::size_t i = 0; i < recipes.size(); ++i) {
    const font_recipe& recipe = recipes[i];
    QFont font = source_font(sources, recipe.from);
    // A source without a size keeps its default size: a change from zero
    // would make a font a few pixels high.
    if (const int height = signed_pixel_height(font, logical_dpi); height != 0) {
      font.setPixelSize(std::abs(changed_height(height, recipe.size_change)));
    }
    if (recipe.bold)
      font.setWeight(QFont::Bold);
    if (recipe.italic)
      font.setItalic(true);
    fonts[i] = font;
  }
  return fonts;
}

font_manager::font_manager()
    : fonts_(make_theme_fonts(system_fonts::current(), logical_dpi_of_screen())) {}

const QFont& font_manager::font(int number) const {
  if (number < 1 || number > static_cast<int>(fonts_.size())) {
    throw std::out_of_range("font number is out of range.");
  }
  return fonts_[static_cast<std::size_t>(number - 1)];
}

void set_high_quality(QPainter& painter) {
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

}  // namespace parvel::theme
