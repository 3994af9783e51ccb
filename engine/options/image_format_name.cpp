#include "engine/options/image_format_name.hpp"

namespace parvel {

std::string image_format_name(int format) {
  static const char* const names[] = {"BMP",  "GIF",      "JPEG", "PNG",
                                      "TIFF", "HD Photo", "PSD",  "RAW"};
  return format >= 1 && format <= 8 ? names[format - 1] : "";
}

}  // namespace parvel
