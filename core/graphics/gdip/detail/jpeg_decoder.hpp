#pragma once

#include <vips/vips8>

#include <memory>
#include <string_view>

#include "core/graphics/gdip/detail/library_error.hpp"
#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

// The pixels of a JPEG, decoded through libjpeg from top to bottom as the
// reader asks for them, under header: the imaging library's header of the
// same file, loaded with shrink (1, 2, 4 or 8), whose size, bands and
// metadata they take. The decode fails, with libjpeg's words, when a
// Huffman-coded scan ends before its last bits, the data is corrupted, or the
// scans leave out or contradict part of a component, and tells damage of it:
// judged by all the data, to the end of the last scan, whatever the threads,
// the shrink and the picture. A file whose scans are whole decodes, also
// without its end marker or with stray bytes between its segments.
// Reads the open file from its start.
vips::VImage decode_jpeg_file(const vips::VImage& header, scoped_handle file, int shrink,
                              std::shared_ptr<decoder_damage> damage);

// Likewise from the bytes of a whole file, which must outlive the pixels' reading.
vips::VImage decode_jpeg_bytes(const vips::VImage& header, std::string_view bytes,
                               std::shared_ptr<decoder_damage> damage);

}  // namespace core::graphics::gdip::detail
