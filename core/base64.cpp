#include "core/base64.hpp"

#include <array>
#include <cstdint>

#include "core/io/stream_failure.hpp"

namespace core {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t invalid = 0xFF;

constexpr std::array<std::uint8_t, 128> make_decoding_table() {
  std::array<std::uint8_t, 128> table{};
  table.fill(invalid);
  for (std::uint8_t i = 0; i < 64; ++i) {
    table[static_cast<std::uint8_t>(alphabet[i])] = i;
  }
  return table;
}

constexpr auto decoding_table = make_decoding_table();

std::uint32_t sextet(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code >= decoding_table.size() || decoding_table[code] == invalid) {
    throw io::stream_failure("bad Base64 sequence");
  }
  return decoding_table[code];
}

}  // namespace

std::string base64_encode(const std::string& bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t j = 0; j < 3; ++j) {
      group = group << 8 | (j < count ? static_cast<unsigned char>(bytes[i + j]) : 0u);
    }
    text += alphabet[group >> 18 & 0x3F];
    text += alphabet[group >> 12 & 0x3F];
    text += count > 1 ? alphabet[group >> 6 & 0x3F] : '=';
    text += count > 2 ? alphabet[group & 0x3F] : '=';
  }
  return text;
}

std::string base64_decode(const std::string& text) {
  // An incomplete last group has no defined bytes: refuse it.
  if (text.size() % 4 != 0) {
    throw io::stream_failure("bad Base64 sequence");
  }
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool pad_fourth = text[i + 3] == '=';
    const bool pad_third = pad_fourth && text[i + 2] == '=';
    const std::uint32_t group = sextet(text[i]) << 18 | sextet(text[i + 1]) << 12 |
                                (pad_third ? 0 : sextet(text[i + 2])) << 6 |
                                (pad_fourth ? 0 : sextet(text[i + 3]));
    bytes += static_cast<char>(group >> 16 & 0xFF);
    if (!pad_third) {
      bytes += static_cast<char>(group >> 8 & 0xFF);
    }
    if (!pad_fourth) {
      bytes += static_cast<char>(group & 0xFF);
    }
  }
  return bytes;
}

}  // namespace core
