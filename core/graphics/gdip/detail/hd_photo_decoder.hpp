#pragma once

#include <vips/vips8>

#include <string>

#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip::detail {

// Decode an HD Photo file into an image in memory: the first frame, 8 or 16
// bits a sample, RGB(A), grey or CMYK; resolution kept. jxrlib runs in a child
// process (hd_photo_decoder_program()), so that whatever a damaged file makes
// it do fails that file alone. Throws status_failure: out_of_memory when the
// header claims more than its decode budget, win32_error when the helper
// cannot be started or the file read, generic_error for anything else
// (damaged files, other sample formats such as float, fixed point or half),
// also when stop is set meanwhile.
vips::VImage decode_hd_photo_file(const std::string& path,
                                  const threading::stop_flag& stop = threading::never_stopped);
vips::VImage decode_hd_photo(const std::string& bytes);

}  // namespace core::graphics::gdip::detail
