#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"

#include <optional>
#include <stdexcept>

#include "core/graphics/gdip/detail/bitmap_impl.hpp"
#include "core/graphics/gdip/detail/image_encoder.hpp"
#include "core/graphics/gdip/detail/status_call.hpp"
#include "core/graphics/gdip/detail/upright.hpp"
#include "core/graphics/gdip/encoder_clsid.hpp"
#include "core/graphics/image_format.hpp"

namespace core::graphics::gdip::batch {

namespace {

// From the last "." of the final path component, the dot included; "" when
// there is none, and for the components "." and "..".
std::string extension_of(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  const std::string component = slash == std::string::npos ? name : name.substr(slash + 1);
  if (component == "." || component == "..") {
    return {};
  }
  const std::size_t dot = component.rfind('.');
  return dot == std::string::npos ? std::string() : component.substr(dot);
}

}  // namespace

gdiplus_image_save_stream::gdiplus_image_save_stream(gdiplus_image_unit* predecessor,
                                                     std::string target_name,
                                                     const gdiplus_batch_params& params)
    : gdiplus_image_unit(predecessor),
      target_name_(std::move(target_name)),
      stream_(device_),
      params_(params) {}

gdiplus_image_save_stream::gdiplus_image_save_stream(gdiplus_image_unit* predecessor,
                                                     std::string target_name,
                                                     const gdiplus_batch_params& params,
                                                     std::ostream& out)
    : gdiplus_image_save_stream(predecessor, std::move(target_name), params) {
  out_ = &out;
}

void gdiplus_image_save_stream::execute() {
  if (predecessor() == nullptr) {
    throw std::runtime_error("Invalid unit.");
  }
  const image_format format = image_format_from_extension(extension_of(target_name_));
  const std::shared_ptr<bitmap> source = predecessor()->image();
  if (!source) {
    throw std::runtime_error("Invalid image.");
  }
  std::optional<int> quality;
  if (format == image_formats::jpeg && params_.has_quality()) {
    quality = params_.get_quality();
  }
  const encoder_clsid encoder = get_encoder_clsid(image_format_mime_type(format));

  if (out_ == nullptr) {
    // A second run replaces the first one's bytes rather than following them.
    stream_.clear();
    stream_.flush();
    device_.buffer().set_size(0);
    stream_.seekp(0, std::ios_base::beg);
  }
  std::ostream& out = out_ != nullptr ? *out_ : stream_;
  detail::call_with_status("Cannnot save the GDI+ bitmap.", [&] {
    const bitmap::impl& state = source->state();
    detail::encode_image(out, detail::turned_upright(state.pixels(1, stop()), state.orientation),
                         encoder, quality, stop());
    out.flush();
    if (!out) {
      throw detail::status_failure(status::win32_error);
    }
  });
}

}  // namespace core::graphics::gdip::batch
