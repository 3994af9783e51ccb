#include "core/graphics/gdip/gdiplus_exception.hpp"

#include "core/system_error.hpp"

namespace core::graphics::gdip {

namespace {

std::string full_text(const std::string& message, gdip::status s, int error,
                      const std::string& reason) {
  std::string text = message +
                     " [GdiplusErrorCode: " + std::to_string(static_cast<std::int32_t>(s)) + ", " +
                     status_text(s) + "]";
  if (error != 0) {
    return windows_system_error(text, static_cast<std::uint32_t>(error)).what();
  }
  return reason.empty() ? text : text + ": " + reason;
}

}  // namespace

gdiplus_exception::gdiplus_exception(const std::string& message, gdip::status s, int error,
                                     const std::string& reason)
    : graphics_exception(message), text_(full_text(message, s, error, reason)), status_(s) {}

}  // namespace core::graphics::gdip
