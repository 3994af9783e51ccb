#include "core/graphics/gdip/encoder_clsid.hpp"

#include <array>
#include <string_view>
#include <utility>

#include "core/graphics/graphics_exception.hpp"

namespace core::graphics::gdip {

encoder_clsid get_encoder_clsid(const std::string& mime_type) {
  static constexpr std::array<std::pair<std::string_view, encoder_clsid>, 5> encoders{{
      {"image/bmp", encoder_clsid::bmp},
      {"image/jpeg", encoder_clsid::jpeg},
      {"image/gif", encoder_clsid::gif},
      {"image/tiff", encoder_clsid::tiff},
      {"image/png", encoder_clsid::png},
  }};
  for (const auto& [mime, encoder] : encoders) {
    if (mime == mime_type) {
      return encoder;
    }
  }
  throw graphics_exception("Cannnot find the encoder for the given file format: '" + mime_type +
                           "'.");
}

}  // namespace core::graphics::gdip
