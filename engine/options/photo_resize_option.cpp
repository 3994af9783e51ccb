#include "engine/options/photo_resize_option.hpp"

#include "core/utf.hpp"
#include "engine/app/application.hpp"

namespace parvel {

std::u16string photo_resize_option::kind_text() const {
  static const char* const keys[] = {"do_not_change", "custom_size", "size_hd", "size_wide",
                                     "size_monitor"};
  if (kind < resize_keep || kind > resize_monitor) {
    return {};
  }
  return application::instance()->get_localized_wstring(keys[kind]);
}

std::u16string photo_resize_option::size_text() const {
  return core::utf8_to_wide(std::to_string(width) + " x " + std::to_string(height));
}

}  // namespace parvel
