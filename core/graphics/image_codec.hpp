#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>

#include "core/graphics/image_data.hpp"
#include "core/graphics/image_modes.hpp"
#include "core/graphics/raster_image.hpp"
#include "core/key_value_params.hpp"

namespace core::graphics {

// A decoded image: its header and a seekable stream of its pixels, rewound.
using decoded_image = std::pair<std::shared_ptr<image_data>, std::shared_ptr<std::iostream>>;

// Decodes, transforms, resizes and encodes images as plain pixel buffers.
class image_codec {
 public:
  virtual ~image_codec() = default;

  virtual std::string name() const = 0;

  // Encodes width * height pixels of header's format, read from pixels, into a
  // new stream that out receives rewound.
  virtual void encode(std::shared_ptr<std::iostream>& out, std::istream& pixels,
                      const std::shared_ptr<image_data>& header,
                      const key_value_params& params) = 0;

  // Decodes a whole image file read from encoded.
  virtual void decode(decoded_image& out, std::istream& encoded) = 0;

  // Rotates or flips image in place.
  virtual void transform(raster_image& image, image_transform_mode mode) = 0;

  // Resizes image in place to exactly width * height.
  virtual void resize(raster_image& image, std::uint32_t width, std::uint32_t height,
                      image_interpolation_mode interpolation) = 0;
};

}  // namespace core::graphics
