#include "ui/rename/art_resources.hpp"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function of the global namespace.
static void register_art() {
  Q_INIT_RESOURCE(art);
}

namespace parvel {

void register_art_resources() {
  static const bool registered = (register_art(), true);
  (void)registered;
}

}  // namespace parvel
