#pragma once

#include <array>
#include <cstdint>
#include <ios>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/io/archivers/detail/running_crc32.hpp"
#include "core/io/archivers/zip_cipher.hpp"
#include "core/io/archivers/zip_entry.hpp"
#include "core/io/filesystem/file_source.hpp"
#include "core/io/stream_failure.hpp"

namespace core::io::archivers {

// An encrypted entry whose header does not match the password.
class password_incorrect : public stream_failure {
 public:
  password_incorrect() : stream_failure("password incorrect") {}
};

namespace detail {

template <class Source>
class basic_zip_file_source_impl;

// Reads a zip archive: the central directory once at construction, then one
// entry at a time, chosen by path, decompressed (stored, deflate, bzip2) and
// checked against its CRC-32 and size. One thread at a time.
//
// Format errors throw std::runtime_error ("cannot find ZIP footer", "bad ZIP
// signature", "bad ZIP64 extended header", "bad ZIP extended timestamp",
// "unsupported ZIP format", "no such path", "bad ZIP encryption"); device and
// data errors throw core::io::stream_failure ("bad read", "bad seek", "CRC
// missmatch", "ZIP entry size mismatch", "zlib error", "bzip2 error") or
// password_incorrect. The entry list survives a failure inside one entry.
template <>
class basic_zip_file_source_impl<filesystem::file_source> {
 public:
  explicit basic_zip_file_source_impl(filesystem::file_source file);
  ~basic_zip_file_source_impl();
  basic_zip_file_source_impl(const basic_zip_file_source_impl&) = delete;
  basic_zip_file_source_impl& operator=(const basic_zip_file_source_impl&) = delete;

  // In central directory order; ZIP64 archives give all their entries.
  const std::vector<zip_entry>& entries() const { return entries_; }

  // For encrypted entries selected afterwards.
  void set_password(std::string password) { password_ = std::move(password); }

  // Opens the first entry whose name equals path, "\" and "/" counting as the
  // same, otherwise byte for byte, and makes it ready for read(). A symbolic
  // link is read here: its target lands in selected().link_target and read()
  // gives nothing more.
  void select(const std::string& path);
  // The entry as its local header completes it.
  const zip_entry& selected() const { return selected_; }

  // Up to count bytes of the selected entry's data; -1 at its end, once its
  // CRC-32 and size have been checked. The password is checked at the first read.
  std::streamsize read(char* buffer, std::streamsize count);

 private:
  struct decompressors;
  struct raw_source;

  void read_central_directory();
  void open_local_header(const zip_entry& entry);
  void start_reading();
  void prepare();
  std::streamsize raw_read(char* buffer, std::streamsize count);
  std::streamsize decompress(char* buffer, std::streamsize count);
  void check_password();

  filesystem::file_source file_;
  std::vector<zip_entry> entries_;
  std::string password_;
  zip_entry selected_;
  // Raw bytes of the selected entry not yet read, the encryption header excluded.
  std::uint64_t remaining_ = 0;
  std::array<char, 12> encryption_header_{};
  std::optional<zip_cipher> cipher_;
  running_crc32 crc_;
  std::uint64_t delivered_ = 0;
  bool finished_ = true;
  std::unique_ptr<decompressors> decompressors_;
};

}  // namespace detail

using zip_file_source = detail::basic_zip_file_source_impl<filesystem::file_source>;

}  // namespace core::io::archivers
