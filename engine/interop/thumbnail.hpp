#pragma once

#include <cstdint>
#include <string>

#include "engine/interop/command.hpp"

namespace parvel::interop {

// Announces one JPEG thumbnail of a send; the service's answer's first link
// is where its upload ticket is asked for.
class thumbnail : public command {
 public:
  thumbnail(std::uint32_t width_pixels, std::uint32_t height_pixels)
      : command(thumbnail_term), width(width_pixels), height(height_pixels) {}

  void clear() override { *this = thumbnail(0, 0); }

  // The request body.
  std::string to_xml() const;
  // Throws core::msxml_exception for a body it cannot read.
  static thumbnail parse(const std::string& body);

  std::uint32_t width;
  std::uint32_t height;
};

}  // namespace parvel::interop
