#include "engine/options/photo_convert_option.hpp"

#include "core/utf.hpp"
#include "engine/app/application.hpp"
#include "engine/options/image_format_name.hpp"

namespace parvel {

photo_convert_option::photo_convert_option(int format_id) : format(format_id) {
  params.set_quality(95);
}

std::u16string photo_convert_option::text() const {
  if (format == convert_keep) {
    return application::instance()->get_localized_wstring("do_not_change");
  }
  return format <= convert_tiff ? core::utf8_to_wide(image_format_name(format)) : std::u16string();
}

}  // namespace parvel
