#pragma once

#include <string>

#include "core/graphics/gdip/status.hpp"
#include "core/graphics/graphics_exception.hpp"

namespace core::graphics::gdip {

// An imaging failure with the status of the failed call. what() is the
// message followed by " [GdiplusErrorCode: <status>, <status text>]", then,
// when error (an errno value) is not 0, ": <the system's text for it>", or
// when reason is given, ": <reason>": the status text alone never says why a
// file could not be read.
class gdiplus_exception : public graphics_exception {
 public:
  gdiplus_exception(const std::string& message, gdip::status s, int error = 0,
                    const std::string& reason = {});

  const char* what() const noexcept override { return text_.c_str(); }
  const char* message() const noexcept { return graphics_exception::what(); }
  gdip::status status() const noexcept { return status_; }

 private:
  std::string text_;
  gdip::status status_;
};

}  // namespace core::graphics::gdip
