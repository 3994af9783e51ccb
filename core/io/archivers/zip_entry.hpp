#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace core::io::archivers {

// One entry of a zip archive as the writer takes it from its caller and the
// reader finds it in the central directory. The defaults are those of a new
// deflated file entry.
struct zip_entry {
  // Path inside the archive; a directory carries no trailing "/" here.
  std::string name;
  // When not empty the entry is a symbolic link whose stored data is this text.
  std::string link_target;
  // Upper byte of "version made by" as read; the writer ignores it.
  std::uint8_t host_system = 0;
  std::uint8_t version_needed = 20;
  // Traditional encryption.
  bool encrypted = false;
  bool utf8_name = true;
  // Filled by the reader: what an encryption header's check bytes must match.
  std::uint16_t password_check = 0;
  // 0 stored, 8 deflate, 12 bzip2.
  std::uint16_t method = 8;
  // Modification time, kept on disk as a local DOS date and time.
  std::time_t modified = 0;
  std::uint32_t crc32 = 0;
  // Bytes of entry data on disk, an encryption header included. The writer
  // takes a non-zero value from its caller as data that arrives compressed.
  std::uint64_t compressed_size = 0;
  std::uint64_t size = 0;
  // Low half of the external attributes; 0x10 marks a directory.
  std::uint16_t dos_attributes = 0x0020;
  // High half of the external attributes; 0xA000 in the type bits marks a link.
  std::uint16_t unix_mode = 0x01A4;
  std::string comment;
  // Times of the extended-timestamp field.
  std::optional<std::time_t> mtime;
  std::optional<std::time_t> atime;
  std::optional<std::time_t> ctime;
  // Unix owner of the 0x7855 field, written only when both are present.
  std::optional<std::uint16_t> uid;
  std::optional<std::uint16_t> gid;
  std::uint64_t local_header_offset = 0;

  bool is_directory() const { return (dos_attributes & 0x10) != 0; }
  bool is_symlink() const { return (unix_mode & 0xF000) == 0xA000; }
  std::uint32_t external_attributes() const {
    return static_cast<std::uint32_t>(unix_mode) << 16 | dos_attributes;
  }
};

}  // namespace core::io::archivers
