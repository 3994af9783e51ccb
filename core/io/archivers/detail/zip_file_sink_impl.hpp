#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/io/archivers/detail/running_crc32.hpp"
#include "core/io/archivers/zip_cipher.hpp"
#include "core/io/archivers/zip_compress.hpp"
#include "core/io/archivers/zip_entry.hpp"
#include "core/io/filesystem/file_sink.hpp"

namespace core::io::archivers::detail {

// The writer's work: local headers patched in place after their data, the
// give-up rule, encryption, and the central directory with ZIP64 records
// where sizes, offsets or the count need them.
template <>
class basic_zip_file_sink_impl<filesystem::file_sink> {
 public:
  explicit basic_zip_file_sink_impl(filesystem::file_sink file);
  ~basic_zip_file_sink_impl();
  basic_zip_file_sink_impl(const basic_zip_file_sink_impl&) = delete;
  basic_zip_file_sink_impl& operator=(const basic_zip_file_sink_impl&) = delete;

  // Begins an entry from a description. Entries under 6 bytes are stored; a
  // non-zero compressed_size announces data that arrives already compressed;
  // links and directories are complete at once. Throws std::runtime_error
  // "unsupported ZIP format", "need to rewind the current entry" or "ZIP
  // entry size mismatch" (an entry begun and never finished).
  void start_entry(const zip_entry& description);
  // Uncompressed data of the entry (compressed data for a raw copy). Throws
  // give_up_compression when the entry's output would exceed its declared size.
  void write(const char* data, std::streamsize count);
  // Flushes the compressor and patches the local header.
  void finish_entry();
  // After give_up_compression: starts the entry over, stored; the caller
  // writes its data again from the beginning.
  void rewind();
  // The central directory and end records; then the file is closed.
  void close();

  void set_password(std::string password) { password_ = std::move(password); }
  const std::string& password() const { return password_; }
  void abort() noexcept { aborted_ = true; }
  // One per entry begun, in archive order.
  const std::vector<zip_entry>& entries() const { return entries_; }

 private:
  struct compressors;
  struct stored_sink;

  void begin_entry();
  void write_local_header();
  void write_encryption_header();
  void stored_write(const char* data, std::streamsize count);
  void limited_write(const char* data, std::streamsize count);
  void file_write(const std::string& bytes);
  void file_write(const char* data, std::streamsize count);
  std::uint64_t file_seek(std::uint64_t offset, std::ios_base::seekdir direction);
  void discard_compressor();

  filesystem::file_sink file_;
  zip_entry current_;
  // Bytes put into the file after the current local header.
  std::uint64_t written_ = 0;
  std::size_t local_header_length_ = 0;
  bool entry_open_ = false;
  bool give_up_pending_ = false;
  bool zip64_needed_ = false;
  std::vector<zip_entry> entries_;
  std::mt19937 random_;
  zip_entry saved_;
  std::string password_;
  std::optional<zip_cipher> cipher_;
  std::uint16_t active_method_ = 0;
  running_crc32 crc_;
  std::uint64_t uncompressed_ = 0;
  bool raw_copy_ = false;
  std::atomic<bool> aborted_ = false;
  std::unique_ptr<compressors> compressors_;
};

}  // namespace core::io::archivers::detail
