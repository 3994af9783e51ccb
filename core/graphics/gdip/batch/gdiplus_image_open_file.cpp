#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"

#include "core/graphics/gdip/detail/image_source.hpp"
#include "core/graphics/gdip/detail/status_call.hpp"

namespace core::graphics::gdip::batch {

gdiplus_image_open_file::gdiplus_image_open_file(std::string path, orientation_tag orientation)
    : gdiplus_image_unit(nullptr), path_(std::move(path)), orientation_(orientation) {}

void gdiplus_image_open_file::execute() {
  bitmap_.reset();
  bitmap_ = detail::call_with_status("Cannot load the bitmap: '" + path_ + "'.", [&] {
    return detail::open_image_file(path_, orientation_ == orientation_tag::applied, stop());
  });
}

}  // namespace core::graphics::gdip::batch
