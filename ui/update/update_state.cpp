#include "ui/update/update_state.hpp"

#include <array>

namespace parvel {

namespace {

constexpr QRgb green = 0x2F00AA0C;
constexpr QRgb red = 0x1FFF0000;
using shift = update_state_view::cancel_shift;

// clang-format off
// Rows from update_available to update_install_failed.
constexpr std::array<update_state_view, 5> states{{
  //  header                            body                              dl     cancel retry  close  prog   link   notes
  {"upgrade_available_header",       "upgrade_available_text",        true,  true,  false, false, false, false, true,  shift::by_download, green},
  {"upgrade_available_header",       "upgrade_available_urgent_text", true,  false, false, false, false, false, true,  shift::none,        green},
  {"upgrade_downloading_header",     "upgrade_downloading_text",      false, true,  false, false, true,  false, false, shift::none,        green},
  {"upgrade_download_failed_header", "upgrade_download_failed_text",  false, true,  true,  false, true,  true,  false, shift::by_retry,    red},
  {"upgrade_install_failed_header",  "upgrade_install_failed_text",   false, false, false, true,  false, false, false, shift::none,        red},
}};
// clang-format on

}  // namespace

const update_state_view* find_update_state(int state) {
  if (state < update_available || state > update_install_failed)
    return nullptr;
  return &states[static_cast<std::size_t>(state - update_available)];
}

}  // namespace parvel
