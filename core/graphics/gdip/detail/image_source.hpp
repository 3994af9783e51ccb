#pragma once

#include <vips/vips8>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/graphics/gdip/bitmap.hpp"
#include "core/graphics/gdip/detail/bmp_decoder.hpp"
#include "core/graphics/gdip/detail/gif_layout.hpp"
#include "core/graphics/image_format.hpp"
#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip::detail {

// The format an image's first bytes announce: bmp, gif, jpeg, png, tiff or
// hd_photo, else none. Only these are decoded, whatever a file is called, so
// no other decoder of the imaging library (ImageMagick's delegates among
// them) ever sees untrusted input.
image_format sniff_image_format(std::string_view head);

// The format the first bytes of the file at path announce. Throws
// status_failure, also for a format that is not decoded.
image_format file_image_format(const std::string& path);

// The header of the image file at path in format, neither HD Photo nor BMP
// (their own decoders read it) nor GIF (read_gif_file_layout). Throws status_failure.
vips::VImage read_image_header(const std::string& path, image_format format);

// The layout of the GIF file at path (read_gif_layout): its loader's header,
// read without the bytes of its image. Throws status_failure.
gif_layout read_gif_file_layout(const std::string& path);

// The header of the BMP file at path (read_bmp_header).
bmp_header read_bmp_file_header(const std::string& path);

// A bitmap over the image file at path: the header is read now, the pixels
// are streamed from the file by each reader. With apply_orientation, a photo
// whose EXIF orientation says it is stored turned is handed on as shown,
// its pixels still to be turned (bitmap::impl::orientation). stop ends a
// decode made now (HD Photo) early. Throws status_failure.
std::shared_ptr<bitmap> open_image_file(
    const std::string& path, bool apply_orientation = false,
    const threading::stop_flag& stop = threading::never_stopped);

// A bitmap decoded now from the bytes of a whole image file. Throws status_failure.
std::shared_ptr<bitmap> decode_image(const std::string& bytes);

// A bitmap over pixels made once, 8-bit sRGB with 3 or 4 bands, that every
// reader reads: in memory, or a BMP's rows read from its file.
std::shared_ptr<bitmap> make_memory_bitmap(const vips::VImage& srgb8);

}  // namespace core::graphics::gdip::detail
