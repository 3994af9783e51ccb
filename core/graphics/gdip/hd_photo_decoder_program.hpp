#pragma once

#include <string>

namespace core::graphics::gdip {

// The helper program that decodes HD Photo files in a child process. By
// default lumbrel-hd-photo-decoder in the folder of the running program, where
// it is built and installed; tests name the one of their build. Any thread.
std::string hd_photo_decoder_program();
void set_hd_photo_decoder_program(const std::string& path);

}  // namespace core::graphics::gdip
