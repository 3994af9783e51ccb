#pragma once

#include <QColor>
#include <QImage>
#include <utility>
#include <vector>

namespace test_support {

// The runs of rows of a picture that hold anything but white, top to bottom,
// each as its first and last row: the empty photo list's art, then its two
// lines of text.
inline std::vector<std::pair<int, int>> ink_bands(const QImage& picture) {
  std::vector<std::pair<int, int>> bands;
  bool in_band = false;
  for (int y = 0; y < picture.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < picture.width() && !ink; ++x)
      ink = picture.pixelColor(x, y) != QColor(Qt::white);
    if (ink && !in_band)
      bands.emplace_back(y, y);
    if (ink)
      bands.back().second = y;
    in_band = ink;
  }
  return bands;
}

}  // namespace test_support
