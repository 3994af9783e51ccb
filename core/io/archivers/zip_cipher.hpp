#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace core::io::archivers {

// The traditional PKWARE stream cipher: three keys set up from the password
// and moved on by every plain byte. A new cipher for every entry.
class zip_cipher {
 public:
  explicit zip_cipher(std::string_view password);

  void encrypt(char* data, std::size_t count);
  void decrypt(char* data, std::size_t count);

 private:
  std::uint8_t key_byte() const;
  void update(std::uint8_t plain);

  std::array<std::uint32_t, 3> keys_{0x12345678, 0x23456789, 0x34567890};
};

}  // namespace core::io::archivers
