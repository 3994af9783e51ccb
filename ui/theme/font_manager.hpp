#pragma once

#include <QFont>
#include <array>

#include "core/singleton.hpp"

class QPainter;

namespace parvel::theme {

// The system fonts the theme derives from, read once at start.
struct system_fonts {
  QFont caption;
  QFont message;
  QFont status;
  QFont menu;

  // Needs the application object.
  static system_fonts current();
};

// A font's signed height in screen pixels, as the theme computes sizes:
// negative for a character height. Taken from the pixel size, else from the
// point size at the screen's logical dots per inch.
int signed_pixel_height(const QFont& font, qreal logical_dpi);

// A height grown by n pixels (shrunk for negative n) keeping its sign: a
// positive height gains n, zero or a negative one loses n.
int changed_height(int height, int n);

// The eleven fonts, number 1 at index 0: their sources, size changes, bold and
// italic as the theme fixes them.
std::array<QFont, 11> make_theme_fonts(const system_fonts& sources, qreal logical_dpi);

// The program's fonts by number 1 to 11, made once from the system fonts as
// they were at start; windows borrow them. UI thread only.
class font_manager : public core::singleton<font_manager> {
 public:
  // Throws std::out_of_range for a number outside 1 to 11.
  const QFont& font(int number) const;

 private:
  friend class core::singleton<font_manager>;
  font_manager();

  const std::array<QFont, 11> fonts_;
};

// The drawing quality of every picture the windows render: smoothed shapes,
// text and scaled images, drawn over what lies beneath.
void set_high_quality(QPainter& painter);

}  // namespace parvel::theme

namespace parvel {
using theme::set_high_quality;
}
