#pragma once

#include <string>
#include <string_view>

namespace core {

// The only conversions between the program's UTF-8 and UTF-16 text. Invalid
// input (overlong forms, surrogates encoded in UTF-8, code points above
// U+10FFFF, truncated sequences) gives the empty text, never an exception.
std::u16string utf8_to_wide(std::string_view text);

// Unpaired surrogates become U+FFFD, so the result is always valid UTF-8.
std::string to_utf8(std::u16string_view text);

// Valid UTF-8 stays as it is; every invalid sequence becomes U+FFFD. For names
// read from the file system, which are bytes and need not be UTF-8.
std::string to_valid_utf8(std::string_view text);

}  // namespace core
