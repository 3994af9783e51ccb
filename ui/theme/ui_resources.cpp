#include "ui/theme/ui_resources.hpp"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function of the global namespace. A resource file
// of a static library is linked only when something refers to it: this does.
static void register_every_resource_file() {
  Q_INIT_RESOURCE(addphotos);
  Q_INIT_RESOURCE(art);
}

namespace parvel {

void register_ui_resources() {
  static const bool registered = (register_every_resource_file(), true);
  (void)registered;
}

}  // namespace parvel
