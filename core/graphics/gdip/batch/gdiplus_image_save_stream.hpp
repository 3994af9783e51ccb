#pragma once

#include <iosfwd>
#include <string>

#include "core/graphics/gdip/batch/gdiplus_batch_params.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_unit.hpp"
#include "core/io/memorystream_device.hpp"

namespace core::graphics::gdip::batch {

// The end of a chain: encodes its predecessor's bitmap into memory in the
// format of the target name's extension (lower-cased): BMP, GIF, JPEG, PNG or
// TIFF. JPEG takes params' quality (clamped to 1..100; the encoder's default
// without one); the other formats take none. The output keeps the metadata
// its format carries (EXIF orientation, resolution, colour profile).
class gdiplus_image_save_stream : public gdiplus_image_unit {
 public:
  gdiplus_image_save_stream(gdiplus_image_unit* predecessor, std::string target_name,
                            const gdiplus_batch_params& params);
  // Encodes into out instead, at its position, as the bytes come: a large
  // image need not be held in memory. The caller keeps out alive while the
  // unit runs; the unit's own stream stays empty.
  gdiplus_image_save_stream(gdiplus_image_unit* predecessor, std::string target_name,
                            const gdiplus_batch_params& params, std::ostream& out);

  // Replaces the stream's content with the encoded image and leaves the
  // stream at its end: rewind it before reading. A caller's stream is
  // written on from where it stands. Throws std::runtime_error
  // "Invalid unit." without a predecessor and "Invalid image." when it holds
  // no bitmap; graphics_exception "Cannnot find the encoder for the given file
  // format: '<MIME type>'." for an extension without an encoder (the MIME
  // type is empty for an unknown one); gdiplus_exception "Cannnot save the
  // GDI+ bitmap." when decoding or encoding the pixels fails.
  void execute() override;

  std::iostream& stream() { return stream_; }
  const io::memorystream_device& device() const { return device_; }

 private:
  std::string target_name_;
  io::memorystream_device device_;
  io::memorystream stream_;
  gdiplus_batch_params params_;
  std::ostream* out_ = nullptr;
};

}  // namespace core::graphics::gdip::batch
