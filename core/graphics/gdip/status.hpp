#pragma once

#include <cstdint>
#include <string>

namespace core::graphics::gdip {

// Outcomes of imaging calls, numbered as the callers and logs know them.
enum class status : std::int32_t {
  ok = 0,
  generic_error = 1,
  invalid_parameter = 2,
  out_of_memory = 3,
  object_busy = 4,
  insufficient_buffer = 5,
  not_implemented = 6,
  win32_error = 7,
  wrong_state = 8,
  aborted = 9,
  file_not_found = 10,
  value_overflow = 11,
  access_denied = 12,
  unknown_image_format = 13,
  font_family_not_found = 14,
  font_style_not_found = 15,
  not_true_type_font = 16,
  unsupported_gdiplus_version = 17,
  gdiplus_not_initialized = 18,
  property_not_found = 19,
  property_not_supported = 20,
};

// The English description of s; "Unrecognized GDI+ Error." for other values.
std::string status_text(status s);

}  // namespace core::graphics::gdip
