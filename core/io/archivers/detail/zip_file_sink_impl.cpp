#include "core/io/archivers/detail/zip_file_sink_impl.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filter/zlib.hpp>

#include "core/io/archivers/detail/zip_deflate_rule.hpp"
#include "core/io/archivers/dos_time.hpp"
#include "core/io/archivers/zip_records.hpp"

namespace core::io::archivers::detail {

namespace {

using std::ios_base;

constexpr std::size_t cipher_chunk = 1024;

// Folds bytes into 32 bits: h ^= (h << 6) + (h >> 2) + 0x9E3779B9 + b.
template <class T>
std::uint32_t fold(const T& value, std::uint32_t h) {
  unsigned char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  for (const unsigned char b : bytes) {
    h ^= (h << 6) + (h >> 2) + 0x9E3779B9 + static_cast<std::uint32_t>(static_cast<signed char>(b));
  }
  return h;
}

// Seeded from the calendar time and the processor time.
std::uint32_t random_seed() {
  return fold(std::time(nullptr), 0) ^ fold(std::clock(), 0);
}

bool supported_method(std::uint16_t method) {
  return method == 0 || method == 8 || method == 12;
}

}  // namespace

struct basic_zip_file_sink_impl<filesystem::file_sink>::compressors {
  compressors() : zlib(raw_deflate()), bzip2(boost::iostreams::bzip2_params(9, 30)) {}
  boost::iostreams::zlib_compressor zlib;
  boost::iostreams::bzip2_compressor bzip2;
};

// Where the compressors' output goes.
struct basic_zip_file_sink_impl<filesystem::file_sink>::stored_sink {
  using char_type = char;
  using category = boost::iostreams::sink_tag;
  basic_zip_file_sink_impl* writer;
  std::streamsize write(const char* data, std::streamsize count) {
    writer->stored_write(data, count);
    return count;
  }
};

basic_zip_file_sink_impl<filesystem::file_sink>::basic_zip_file_sink_impl(
    filesystem::file_sink file)
    : file_(std::move(file)),
      random_(random_seed()),
      compressors_(std::make_unique<compressors>()) {}

basic_zip_file_sink_impl<filesystem::file_sink>::~basic_zip_file_sink_impl() = default;

void basic_zip_file_sink_impl<filesystem::file_sink>::start_entry(const zip_entry& description) {
  if (give_up_pending_) {
    throw std::runtime_error("need to rewind the current entry");
  }
  if (entry_open_) {
    throw std::runtime_error("ZIP entry size mismatch");
  }
  zip_entry entry = description;
  raw_copy_ = false;
  if (!entry.link_target.empty()) {
    entry.method = 0;
    entry.size = entry.link_target.size();
  } else if (entry.compressed_size != 0) {
    raw_copy_ = true;
  } else if (entry.size < stored_below) {
    entry.method = 0;
  }
  if (!supported_method(entry.method)) {
    throw std::runtime_error("unsupported ZIP format");
  }
  active_method_ = raw_copy_ || entry.is_directory() ? 0 : entry.method;
  saved_ = entry;
  begin_entry();
  write_encryption_header();
  uncompressed_ = 0;
  if (!entry.link_target.empty()) {
    write(entry.link_target.data(), static_cast<std::streamsize>(entry.link_target.size()));
    finish_entry();
  } else if (entry.is_directory()) {
    finish_entry();
  }
}

void basic_zip_file_sink_impl<filesystem::file_sink>::begin_entry() {
  current_ = saved_;
  if (current_.is_directory()) {
    current_.method = 0;
    current_.crc32 = 0;
    current_.compressed_size = 0;
    current_.size = 0;
  }
  current_.local_header_offset = file_seek(0, ios_base::cur);
  if (current_.local_header_offset >= zip64_limit) {
    zip64_needed_ = true;
  }
  write_local_header();
  written_ = 0;
  entries_.push_back(current_);
  entry_open_ = true;
}

void basic_zip_file_sink_impl<filesystem::file_sink>::write_local_header() {
  const auto header = local_header(current_);
  if (needs_zip64_sizes(current_)) {
    zip64_needed_ = true;
  }
  local_header_length_ = header.size();
  file_write(header);
}

void basic_zip_file_sink_impl<filesystem::file_sink>::write_encryption_header() {
  cipher_.reset();
  if (!current_.encrypted || raw_copy_) {
    return;
  }
  cipher_.emplace(password_);
  std::array<char, encryption_header_size> header;
  std::uniform_int_distribution<int> byte(0, 255);
  for (auto& b : header) {
    b = static_cast<char>(byte(random_));
  }
  // The check bytes a reader compares after decrypting with its password.
  const auto time = to_dos_date_time(current_.modified).time;
  header[11] = static_cast<char>(time >> 8);
  if (current_.version_needed < 20) {
    header[10] = static_cast<char>(time);
  }
  cipher_->encrypt(header.data(), header.size());
  limited_write(header.data(), static_cast<std::streamsize>(header.size()));
}

void basic_zip_file_sink_impl<filesystem::file_sink>::write(const char* data,
                                                            std::streamsize count) {
  stored_sink sink{this};
  switch (active_method_) {
    case 8:
      compressors_->zlib.write(sink, data, count);
      break;
    case 12:
      compressors_->bzip2.write(sink, data, count);
      break;
    default:
      stored_write(data, count);
  }
  // A raw copy brings its CRC along.
  if (!raw_copy_) {
    crc_.update(data, static_cast<std::size_t>(count));
  }
  uncompressed_ += static_cast<std::uint64_t>(count);
}

void basic_zip_file_sink_impl<filesystem::file_sink>::stored_write(const char* data,
                                                                   std::streamsize count) {
  if (!cipher_) {
    limited_write(data, count);
    return;
  }
  std::array<char, cipher_chunk> chunk;
  while (count > 0) {
    const auto n = std::min<std::streamsize>(count, chunk.size());
    std::memcpy(chunk.data(), data, static_cast<std::size_t>(n));
    cipher_->encrypt(chunk.data(), static_cast<std::size_t>(n));
    limited_write(chunk.data(), n);
    data += n;
    count -= n;
  }
}

void basic_zip_file_sink_impl<filesystem::file_sink>::limited_write(const char* data,
                                                                    std::streamsize count) {
  // Data that arrives compressed has a known length: only its own size limits it.
  const std::uint64_t limit =
      raw_copy_ ? current_.compressed_size
                : (current_.size & 0xFFFFFFFF) + (current_.encrypted ? encryption_header_size : 0);
  if (written_ + static_cast<std::uint64_t>(count) > limit) {
    give_up_pending_ = true;
    throw give_up_compression();
  }
  file_write(data, count);
  written_ += static_cast<std::uint64_t>(count);
}

void basic_zip_file_sink_impl<filesystem::file_sink>::rewind() {
  discard_compressor();
  current_.method = 0;
  file_seek(current_.local_header_offset, ios_base::beg);
  write_local_header();
  written_ = 0;
  give_up_pending_ = false;
  entries_.back() = current_;
  write_encryption_header();
  active_method_ = 0;
  uncompressed_ = 0;
  crc_.reset();
}

void basic_zip_file_sink_impl<filesystem::file_sink>::finish_entry() {
  stored_sink sink{this};
  if (active_method_ == 8) {
    compressors_->zlib.close(sink, ios_base::out);
  } else if (active_method_ == 12) {
    compressors_->bzip2.close(sink, ios_base::out);
  }
  if (raw_copy_) {
    if (written_ != current_.compressed_size) {
      throw stream_failure("ZIP entry size mismatch");
    }
  } else {
    current_.crc32 = crc_.value();
    current_.compressed_size = written_;
    current_.size = uncompressed_;
    if (written_ != 0) {
      // The patched header must fit the room the first one took; a source
      // that changed its length under us could otherwise overwrite the data.
      if (local_header(current_).size() != local_header_length_) {
        throw stream_failure("ZIP entry size mismatch");
      }
      file_seek(current_.local_header_offset, ios_base::beg);
      write_local_header();
      file_seek(0, ios_base::end);
    }
  }
  if (current_.encrypted && !needs_zip64_sizes(current_)) {
    file_write(data_descriptor(current_));
  }
  entries_.back() = current_;
  raw_copy_ = false;
  crc_.reset();
  entry_open_ = false;
}

void basic_zip_file_sink_impl<filesystem::file_sink>::close() {
  if (give_up_pending_) {
    throw std::runtime_error("need to rewind the current entry");
  }
  if (entry_open_) {
    throw std::runtime_error("ZIP entry size mismatch");
  }
  const auto directory_offset = file_seek(0, ios_base::cur);
  for (const auto& entry : entries_) {
    file_write(central_header(entry));
  }
  const auto directory_end = file_seek(0, ios_base::cur);
  const auto directory_size = directory_end - directory_offset;
  if (directory_size >= zip64_limit || directory_offset >= zip64_limit ||
      entries_.size() >= zip64_count) {
    zip64_needed_ = true;
  }
  if (zip64_needed_) {
    file_write(zip64_end_record(entries_.size(), directory_size, directory_offset));
    file_write(zip64_end_locator(directory_end));
  }
  file_write(end_record(entries_.size(), directory_size, directory_offset));
  file_.flush();
  file_.close();
}

void basic_zip_file_sink_impl<filesystem::file_sink>::discard_compressor() {
  stored_sink sink{this};
  compressors_->zlib.close(sink, ios_base::in);
  compressors_->bzip2.close(sink, ios_base::in);
}

void basic_zip_file_sink_impl<filesystem::file_sink>::file_write(const std::string& bytes) {
  file_write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void basic_zip_file_sink_impl<filesystem::file_sink>::file_write(const char* data,
                                                                 std::streamsize count) {
  if (aborted_) {
    throw stream_failure("bad device");
  }
  file_.write(data, count);
}

std::uint64_t basic_zip_file_sink_impl<filesystem::file_sink>::file_seek(
    std::uint64_t offset, ios_base::seekdir direction) {
  if (aborted_) {
    throw stream_failure("bad device");
  }
  return static_cast<std::uint64_t>(
      file_.seek(static_cast<boost::iostreams::stream_offset>(offset), direction));
}

}  // namespace core::io::archivers::detail
