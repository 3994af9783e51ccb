#pragma once

#include <string>

namespace core {

// Base64 with the standard alphabet and "=" padding, no line breaks.
std::string base64_encode(const std::string& bytes);
// Decodes four characters at a time; a padded group may stand anywhere.
// Anything outside the alphabet, misplaced padding and a length that is not a
// multiple of four throw core::io::stream_failure "bad Base64 sequence".
std::string base64_decode(const std::string& text);

}  // namespace core
