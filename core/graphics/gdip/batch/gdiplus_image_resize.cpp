#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"

#include <stdexcept>

#include "core/graphics/gdip/detail/bitmap_impl.hpp"
#include "core/graphics/gdip/detail/resample.hpp"
#include "core/graphics/gdip/detail/upright.hpp"
#include "core/graphics/image_target_size.hpp"

namespace core::graphics::gdip::batch {

gdiplus_image_resize::gdiplus_image_resize(gdiplus_image_unit* predecessor, std::uint32_t width,
                                           std::uint32_t height,
                                           image_interpolation_mode interpolation,
                                           std::uint32_t flags)
    : gdiplus_image_unit(predecessor),
      width_(width),
      height_(height),
      result_width_(width),
      result_height_(height),
      interpolation_(interpolation),
      flags_(flags) {}

void gdiplus_image_resize::execute() {
  std::shared_ptr<bitmap> source = predecessor() != nullptr ? predecessor()->image() : nullptr;
  if (!source) {
    throw std::runtime_error("Invalid image.");
  }
  const image_resize_plan plan =
      plan_image_resize({source->width(), source->height()}, {width_, height_}, flags_);
  width_ = plan.box.width;
  height_ = plan.box.height;
  result_width_ = plan.result.width;
  result_height_ = plan.result.height;
  if (plan.unchanged) {
    bitmap_ = std::move(source);
    return;
  }

  const VipsKernel kernel = detail::resampling_kernel(interpolation_);
  auto state = std::make_unique<bitmap::impl>();
  state->width = result_width_;
  state->height = result_height_;
  state->pixels = [source, width = result_width_, height = result_height_, kernel](
                      int, const threading::stop_flag& stop) {
    const bitmap::impl& from = source->state();
    const int shrink =
        from.shrinks_on_load ? detail::load_shrink(from.width, from.height, width, height) : 1;
    // Resized as stored, then turned: the turn holds only the smaller pixels.
    const bool sideways = detail::turns_sideways(from.orientation);
    return detail::turned_upright(
        detail::resample(from.pixels(shrink, stop), sideways ? height : width,
                         sideways ? width : height, kernel),
        from.orientation);
  };
  bitmap_ = std::make_shared<bitmap>(std::move(state));
}

}  // namespace core::graphics::gdip::batch
