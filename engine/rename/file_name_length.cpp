#include "engine/rename/file_name_length.hpp"

#include <algorithm>

namespace parvel {

namespace {

bool is_continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The bytes of the character a lead byte starts; 1 for any other byte.
std::size_t sequence_length(unsigned char lead) {
  return lead >= 0xF0 && lead <= 0xF7   ? 4
         : lead >= 0xE0 && lead <= 0xEF ? 3
         : lead >= 0xC0 && lead <= 0xDF ? 2
                                        : 1;
}

}  // namespace

std::string_view cut_at_character(std::string_view text, std::size_t size) {
  if (size >= text.size()) {
    return text;
  }
  // The lead byte of the character that holds the byte before the cut lies
  // at most three bytes back, past continuation bytes only.
  std::size_t lead = size;
  while (lead > 0 && size - lead < 3 &&
         is_continuation(static_cast<unsigned char>(text[lead - 1]))) {
    --lead;
  }
  if (lead > 0 && lead - 1 + sequence_length(static_cast<unsigned char>(text[lead - 1])) > size) {
    return text.substr(0, lead - 1);
  }
  return text.substr(0, size);
}

std::string fit_file_name(std::string_view stem, std::string_view marker,
                          std::string_view extension) {
  const std::size_t room = longest_file_name - std::min(marker.size(), longest_file_name);
  if (extension.size() > room) {
    return std::string(marker) + std::string(cut_at_character(extension, room));
  }
  return std::string(cut_at_character(stem, room - extension.size())) + std::string(marker) +
         std::string(extension);
}

}  // namespace parvel
