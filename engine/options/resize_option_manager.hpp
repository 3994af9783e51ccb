#pragma once

#include "core/singleton.hpp"
#include "engine/options/option_manager.hpp"
#include "engine/options/photo_resize_option.hpp"

namespace parvel {

// Target sizes: keep, custom, and the HD, wide-screen and monitor sizes; each
// start keeps sizes.
class resize_option_manager : public core::singleton<resize_option_manager>,
                              public option_manager<photo_resize_option> {
 private:
  friend class core::singleton<resize_option_manager>;
  resize_option_manager();
};

}  // namespace parvel
