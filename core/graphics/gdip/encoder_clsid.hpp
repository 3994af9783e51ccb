#pragma once

#include <string>

namespace core::graphics::gdip {

// The installed image encoders, in the order a lookup walks them.
enum class encoder_clsid { bmp, jpeg, gif, tiff, png };

// The encoder whose MIME type equals mime_type (exact, case-sensitive). None
// throws graphics_exception "Cannnot find the encoder for the given file
// format: '<mime_type>'.": so do "" (an unknown extension) and the formats
// that are read but never written (HD Photo, PSD, camera raw).
encoder_clsid get_encoder_clsid(const std::string& mime_type);

}  // namespace core::graphics::gdip
