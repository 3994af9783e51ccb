#include "core/graphics/gdip/gdiplus_exception.hpp"

namespace core::graphics::gdip {

gdiplus_exception::gdiplus_exception(const std::string& message, gdip::status s)
    : graphics_exception(message),
      text_(message + " [GdiplusErrorCode: " + std::to_string(static_cast<std::int32_t>(s)) + ", " +
            status_text(s) + "]"),
      status_(s) {}

}  // namespace core::graphics::gdip
