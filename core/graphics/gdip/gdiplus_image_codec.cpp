#include "core/graphics/gdip/gdiplus_image_codec.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

#include "core/graphics/gdip/detail/bitmap_impl.hpp"
#include "core/graphics/gdip/detail/image_encoder.hpp"
#include "core/graphics/gdip/detail/image_source.hpp"
#include "core/graphics/gdip/detail/packed_pixels.hpp"
#include "core/graphics/gdip/detail/resample.hpp"
#include "core/graphics/gdip/detail/status_call.hpp"
#include "core/graphics/gdip/encoder_clsid.hpp"
#include "core/graphics/gdip/gdiplus_pixel_format.hpp"
#include "core/graphics/graphics_exception.hpp"
#include "core/io/memorystream_device.hpp"

namespace core::graphics::gdip {

namespace {

const std::string create_bitmap_failed = "Cannot create a new GDI+ bitmap.";

// The bytes width * height pixels of format take, refusing sizes that no
// bitmap can have.
std::size_t packed_size(pixel_format::pixel_format format, std::uint32_t width,
                        std::uint32_t height) {
  const std::size_t pixel = pixel_format::bytes_per_pixel(format);
  if (width == 0 || height == 0) {
    throw gdiplus_exception(create_bitmap_failed, status::invalid_parameter);
  }
  if (height > std::numeric_limits<std::size_t>::max() / pixel / width) {
    throw gdiplus_exception(create_bitmap_failed, status::out_of_memory);
  }
  return pixel * width * height;
}

// An image of width * height pixels of format taken from bytes, which may be
// short: missing bytes read as zero, as in a fresh bitmap.
vips::VImage image_from_bytes(const std::uint8_t* bytes, std::size_t size,
                              pixel_format::pixel_format format, std::uint32_t width,
                              std::uint32_t height) {
  to_gdiplus_pixel_format(format);  // refuses formats a bitmap cannot have
  const std::size_t needed = packed_size(format, width, height);
  return detail::call_with_status(create_bitmap_failed, [&] {
    if (size >= needed) {
      return detail::image_from_packed_pixels(bytes, format, width, height);
    }
    std::vector<std::uint8_t> padded(needed, 0);
    std::copy_n(bytes, size, padded.begin());
    return detail::image_from_packed_pixels(padded.data(), format, width, height);
  });
}

vips::VImage image_from_raster(const raster_image& raster) {
  return image_from_bytes(raster.pixels.get(), raster.pixels ? raster.size : 0, raster.format,
                          raster.width, raster.height);
}

// Refills raster with the ARGB pixels of the image that make_image gives;
// failures report message.
template <class MakeImage>
void assign_argb(raster_image& raster, const std::string& message, MakeImage&& make_image) {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> argb = detail::call_with_status(message, [&] {
    const vips::VImage image = make_image();
    width = image.width();
    height = image.height();
    return detail::argb_pixels(image);
  });
  std::shared_ptr<std::uint8_t[]> pixels(new std::uint8_t[argb.size()]);
  std::copy(argb.begin(), argb.end(), pixels.get());
  raster.pixels = std::move(pixels);
  raster.size = argb.size();
  raster.width = static_cast<std::uint32_t>(width);
  raster.height = static_cast<std::uint32_t>(height);
  raster.format = pixel_format::argb32;
}

std::string read_all(std::istream& in) {
  in.seekg(0, std::ios_base::beg);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

vips::VImage rotate_or_flip(const vips::VImage& image, image_transform_mode mode) {
  switch (mode) {
    case rotate_none:
      return image;
    case rotate_90:
      return image.rot(VIPS_ANGLE_D90);
    case rotate_180:
      return image.rot(VIPS_ANGLE_D180);
    case rotate_270:
      return image.rot(VIPS_ANGLE_D270);
    case flip_x:
      return image.flip(VIPS_DIRECTION_HORIZONTAL);
    default:
      return image.flip(VIPS_DIRECTION_VERTICAL);  // flip_y
  }
}

void check_transform_mode(image_transform_mode mode) {
  switch (mode) {
    case rotate_none:
    case rotate_90:
    case rotate_180:
    case rotate_270:
    case flip_x:
    case flip_y:
      return;
  }
  throw gdiplus_exception(
      "Cannot convert 'image_transform_mode': " + std::to_string(static_cast<std::int32_t>(mode)) +
          " into the 'Gdiplus::RotateFlipType'.",
      status::ok);
}

}  // namespace

void gdiplus_image_codec::encode(std::shared_ptr<std::iostream>& out, std::istream& pixels,
                                 const std::shared_ptr<image_data>& header,
                                 const key_value_params& params) {
  if (pixels.fail() || !header) {
    throw graphics_exception(
        "Cannot encode the image stream. Make sure that the provided stream is valid.");
  }
  const std::string bytes = read_all(pixels);
  const vips::VImage image =
      image_from_bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                       header->format, header->width, header->height);

  auto encoded = std::make_shared<io::memorystream>(io::memorystream_device());
  out = encoded;
  const image_format format =
      params.has("extension") ? image_format_from_extension(params.get<std::string>("extension"))
                              : image_formats::bmp;
  const encoder_clsid encoder = get_encoder_clsid(image_format_mime_type(format));
  detail::call_with_status("Cannnot save the GDI+ bitmap to the IStream.", [&] {
    detail::encode_image(*encoded, image, encoder, std::nullopt);
    encoded->flush();
  });
  encoded->seekg(0, std::ios_base::beg);
}

void gdiplus_image_codec::decode(decoded_image& out, std::istream& encoded) {
  if (encoded.fail()) {
    throw graphics_exception(
        "Cannot decode the image stream. Make sure that the provided stream is valid.");
  }
  const std::string bytes = read_all(encoded);
  const std::shared_ptr<bitmap> decoded = detail::call_with_status(
      "Cannot load a GDI+ bitmap from the IStream.", [&] { return detail::decode_image(bytes); });

  const std::vector<std::uint8_t> argb = detail::call_with_status(
      "Cannnot lock the GDI+ bitmap for reading.",
      [&] { return detail::argb_pixels(decoded->state().pixels(1, threading::never_stopped)); });
  auto pixels = std::make_shared<io::memorystream>(io::memorystream_device(argb.size()));
  pixels->write(reinterpret_cast<const char*>(argb.data()),
                static_cast<std::streamsize>(argb.size()));
  pixels->flush();
  pixels->seekg(0, std::ios_base::beg);

  auto header = std::make_shared<image_data>();
  header->width = decoded->width();
  header->height = decoded->height();
  header->format = pixel_format::argb32;
  out = {std::move(header), std::move(pixels)};
}

void gdiplus_image_codec::transform(raster_image& image, image_transform_mode mode) {
  check_transform_mode(mode);
  const vips::VImage source = image_from_raster(image);
  assign_argb(image, "Cannnot rotate & flip the image.",
              [&] { return rotate_or_flip(source, mode); });
}

void gdiplus_image_codec::resize(raster_image& image, std::uint32_t width, std::uint32_t height,
                                 image_interpolation_mode interpolation) {
  const vips::VImage source = image_from_raster(image);
  if (width == 0 || height == 0) {
    throw gdiplus_exception(create_bitmap_failed, status::invalid_parameter);
  }
  const VipsKernel kernel = detail::resampling_kernel(interpolation);
  assign_argb(image, "Cannnot draw the GDI+ Image.",
              [&] { return detail::resample(source, width, height, kernel); });
}

}  // namespace core::graphics::gdip
