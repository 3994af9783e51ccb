#pragma once

#include <string>

#include "core/graphics/gdip/batch/gdiplus_image_unit.hpp"

namespace core::graphics::gdip::batch {

// What the head of a chain does with a photo that its EXIF orientation says
// is stored turned.
enum class orientation_tag {
  kept,     // the pixels as stored, the tag handed on for the encoder to write
  applied,  // turned upright before any resize: for formats without the tag
};

// The head of a chain: opens an image file, recognised by its first bytes
// (BMP, GIF, JPEG, PNG, TIFF, HD Photo; the first frame of GIF and TIFF).
// Reads only the header; the pixels stream from the file when the chain's
// last unit needs them.
class gdiplus_image_open_file : public gdiplus_image_unit {
 public:
  explicit gdiplus_image_open_file(std::string path,
                                   orientation_tag orientation = orientation_tag::kept);

  // Throws gdiplus_exception "Cannot load the bitmap: '<path>'." with the
  // status: file_not_found, unknown_image_format, generic_error for a damaged
  // image, win32_error for another read failure.
  void execute() override;
  std::shared_ptr<bitmap>& image() override { return bitmap_; }

 private:
  std::string path_;
  orientation_tag orientation_;
  std::shared_ptr<bitmap> bitmap_;
};

}  // namespace core::graphics::gdip::batch
