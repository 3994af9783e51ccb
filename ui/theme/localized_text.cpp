#include "ui/theme/localized_text.hpp"

#include "engine/app/application.hpp"

namespace parvel {

QString localized(const std::string& id) {
  return QString::fromStdU16String(application::instance()->get_localized_wstring(id));
}

}  // namespace parvel
