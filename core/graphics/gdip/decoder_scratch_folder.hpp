#pragma once

#include <string>

namespace core::graphics::gdip {

// The folder where decoders put what they spill out of memory (ImageMagick's
// pixel cache of a large BMP): the program's private temporary folder. Until
// it is set, the decoders' own default. Any thread.
void set_decoder_scratch_folder(const std::string& folder);
std::string decoder_scratch_folder();

}  // namespace core::graphics::gdip
