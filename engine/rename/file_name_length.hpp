#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parvel {

// The longest file name, in bytes of UTF-8, that a recipient can extract:
// NAME_MAX of Linux and macOS; such a name is within the 255 UTF-16 units of
// Windows too.
inline constexpr std::size_t longest_file_name = 255;

// The first `size` bytes of text, or fewer where the cut would fall inside a
// UTF-8 character. In bytes that are not UTF-8 (Latin-1 names) the cut may
// fall a byte or two earlier than needed, never later.
std::string_view cut_at_character(std::string_view text, std::size_t size);

// stem + marker + extension, within longest_file_name bytes: the stem gives
// way at its end, then, for an extension as long as a name, the extension.
// The marker, what keeps the name unique, stays whole.
std::string fit_file_name(std::string_view stem, std::string_view marker,
                          std::string_view extension);

}  // namespace parvel
