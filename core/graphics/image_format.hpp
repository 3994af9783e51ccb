#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core::graphics {

// The image formats the program knows, by their stored ids.
using image_format = std::int32_t;

namespace image_formats {
inline constexpr image_format none = 0;  // no change, or not a known format
inline constexpr image_format bmp = 1;
inline constexpr image_format gif = 2;
inline constexpr image_format jpeg = 3;
inline constexpr image_format png = 4;
inline constexpr image_format tiff = 5;
inline constexpr image_format hd_photo = 6;
inline constexpr image_format psd = 7;
inline constexpr image_format raw = 8;  // camera raw
}  // namespace image_formats

// ".JPG" gives jpeg. The text is lower-cased and then compared exactly: no dot
// is added and no blank trimmed, so "jpg" and ".jpg " give none. Any thread.
image_format image_format_from_extension(const std::string& extension);

// The first of the format's extensions (".jpg" for jpeg). A format without an
// entry (none, or an id outside bmp..raw) throws std::invalid_argument
// "image format is not supported.".
std::string image_format_default_extension(image_format format);

// The format's extensions in order, each lower case with its dot; failure as above.
std::vector<std::string> image_format_extensions(image_format format);

// "image/jpeg" and the like; "" for none and for ids outside bmp..raw.
std::string image_format_mime_type(image_format format);

// Whether the format's files tell how a photo is turned (JPEG, PNG and TIFF
// keep the EXIF orientation); GIF and BMP have no such field.
bool image_format_carries_orientation(image_format format);

}  // namespace core::graphics
