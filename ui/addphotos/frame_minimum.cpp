#include "ui/addphotos/frame_minimum.hpp"

namespace parvel {

QSize frame_minimum_client_size(QSize frame_minimum, QMargins decorations, QSize page_minimum) {
  return frame_minimum.shrunkBy(decorations).expandedTo(page_minimum);
}

}  // namespace parvel
