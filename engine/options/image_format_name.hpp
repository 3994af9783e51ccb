#pragma once

#include <string>

namespace parvel {

// "BMP", "GIF", "JPEG", "PNG", "TIFF", "HD Photo", "PSD", "RAW" for the format
// ids 1 to 8; empty for any other id.
std::string image_format_name(int format);

}  // namespace parvel
