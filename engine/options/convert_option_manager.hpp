#pragma once

#include "core/singleton.hpp"
#include "engine/options/option_manager.hpp"
#include "engine/options/photo_convert_option.hpp"

namespace parvel {

// Target formats: keep, BMP, GIF, JPEG, PNG, TIFF; each start keeps formats.
class convert_option_manager : public core::singleton<convert_option_manager>,
                               public option_manager<photo_convert_option> {
 private:
  friend class core::singleton<convert_option_manager>;
  convert_option_manager();
};

}  // namespace parvel
