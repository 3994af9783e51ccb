#include "core/io/archivers/zip_cipher.hpp"

namespace core::io::archivers {

namespace {

constexpr std::array<std::uint32_t, 256> make_crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) {
      c = (c & 1) ? 0xEDB88320 ^ (c >> 1) : c >> 1;
    }
    table[i] = c;
  }
  return table;
}

constexpr auto crc_table = make_crc_table();

// One byte of the reflected CRC-32 step, without pre- or post-inversion.
constexpr std::uint32_t crc_step(std::uint32_t crc, std::uint8_t byte) {
  return crc_table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

zip_cipher::zip_cipher(std::string_view password) {
  for (const char c : password) {
    update(static_cast<std::uint8_t>(c));
  }
}

std::uint8_t zip_cipher::key_byte() const {
  const std::uint32_t temp = (keys_[2] | 2) & 0xFFFF;
  return static_cast<std::uint8_t>((temp * (temp ^ 1)) >> 8);
}

void zip_cipher::update(std::uint8_t plain) {
  keys_[0] = crc_step(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813 + 1;
  keys_[2] = crc_step(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
}

void zip_cipher::encrypt(char* data, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const auto plain = static_cast<std::uint8_t>(data[i]);
    data[i] = static_cast<char>(plain ^ key_byte());
    update(plain);
  }
}

void zip_cipher::decrypt(char* data, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const auto plain = static_cast<std::uint8_t>(static_cast<std::uint8_t>(data[i]) ^ key_byte());
    data[i] = static_cast<char>(plain);
    update(plain);
  }
}

}  // namespace core::io::archivers
