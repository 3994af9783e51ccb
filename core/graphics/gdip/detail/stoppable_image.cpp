#include "core/graphics/gdip/detail/stoppable_image.hpp"

namespace core::graphics::gdip::detail {

namespace {

// On libvips's worker threads: each strip is passed on from the image until
// stop is set, and then fails, and the evaluation with it.
int pass_on_unless_stopped(VipsRegion* out, void* seq, void*, void* stop, gboolean*) {
  if (static_cast<const threading::stop_flag*>(stop)->load(std::memory_order_relaxed)) {
    vips_error("stoppable", "%s", "stopped");
    return -1;
  }
  auto* in = static_cast<VipsRegion*>(seq);
  const VipsRect* wanted = &out->valid;
  return vips_region_prepare(in, wanted) ||
                 vips_region_region(out, in, wanted, wanted->left, wanted->top)
             ? -1
             : 0;
}

}  // namespace

vips::VImage stoppable(const vips::VImage& image, const threading::stop_flag& stop) {
  if (&stop == &threading::never_stopped) {
    return image;
  }
  VipsImage* in = image.get_image();
  vips::VImage out(vips_image_new());
  // out holds in for as long as it lives.
  g_object_ref(in);
  vips_object_local(out.get_image(), in);
  if (vips_image_pipelinev(out.get_image(), VIPS_DEMAND_STYLE_THINSTRIP, in, nullptr) != 0 ||
      vips_image_generate(out.get_image(), vips_start_one, pass_on_unless_stopped, vips_stop_one,
                          in, const_cast<threading::stop_flag*>(&stop)) != 0) {
    throw vips::VError();
  }
  return out;
}

}  // namespace core::graphics::gdip::detail
