#pragma once

#include <string>

#include "core/graphics/gdip/batch/gdiplus_image_unit.hpp"

namespace core::graphics::gdip::batch {

// The head of a chain: opens an image file, recognised by its first bytes
// (BMP, GIF, JPEG, PNG, TIFF, HD Photo; the first frame of GIF and TIFF).
// Reads only the header; the pixels stream from the file when the chain's
// last unit needs them.
class gdiplus_image_open_file : public gdiplus_image_unit {
 public:
  explicit gdiplus_image_open_file(std::string path);

  // Throws gdiplus_exception "Cannot load the bitmap: '<path>'." with the
  // status: file_not_found, unknown_image_format, generic_error for a damaged
  // image, win32_error for another read failure.
  void execute() override;
  std::shared_ptr<bitmap>& image() override { return bitmap_; }

 private:
  std::string path_;
  std::shared_ptr<bitmap> bitmap_;
};

}  // namespace core::graphics::gdip::batch
